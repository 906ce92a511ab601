#include "sim/sim_panel_dlg.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "link/model_table.h"
#include "link/result_codes.h"
#include "sim/sim_desk_ports.h"
#include "sim/sim_matching.h"

namespace sondrix {

namespace {

constexpr uint32_t kRefreshTimer = 1;
constexpr uint32_t kRefreshMs = 500;
constexpr uint32_t kMostPersons = 99999;

std::string ModelText(uint16_t code) {
    if (const SModelInfo* model = FindModelByCode(code)) {
        return std::string(model->name);
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04x", code);
    return hex;
}

const std::string kFaults = "Faults";
const std::string kModuleGroup = "Module";
const std::string kFingerGroup = "Finger on the sensor";

}  // namespace

CSimPanelDlg::CSimPanelDlg(CMessageLoop& loop, CSimDeskPorts& ports)
    : CDialogModel("simulated module", "Simulated module"), CWindow(loop), m_ports(ports) {
    AddStatic(kSensor, {}, kFingerGroup);
    // A virtual finger is a person's number and one of that person's ten
    // fingers; the same finger always gives the same print.
    SControl& person = AddEdit(kPerson, "Person:", kFingerGroup, 5);
    person.tooltip =
        "The person the finger belongs to. Users the module starts with (--users N) have finger "
        "0 of persons 1..N.";
    std::vector<std::string> fingers;
    for (int finger = 0; finger < kFingersPerPerson; ++finger) {
        fingers.push_back("Finger " + std::to_string(finger));
    }
    AddCombo(kFinger, "Finger:", kFingerGroup, fingers);
    AddButton(kPlace, "Place", kFingerGroup);
    AddButton(kLift, "Lift", kFingerGroup);
    const SSimFaults& faults = m_ports.Module().Faults();
    AddCheck(kSilent, "Silent (answers nothing)", kFaults).checked = faults.silent;
    AddCheck(kChecksum, "Checksum error in every answer", kFaults).checked = faults.corruptChecksum;
    std::vector<std::string> results = {"None"};
    int forced = 0;
    for (uint32_t code : kForcedResults) {
        if (code == faults.forcedResult) {
            forced = static_cast<int>(results.size());
        }
        results.push_back(std::to_string(code) + " " + ResultText(code));
    }
    SControl& result = AddCombo(kResult, "Result:", kFaults, results);
    result.tooltip = "Every answer carries this result code.";
    result.selection = forced;
    std::vector<std::string> models;
    for (const SModelInfo& model : ModelTable()) {
        models.push_back(ModelText(model.code));
    }
    AddCombo(kModel, "Model:", kModuleGroup, models);
    std::vector<std::string> rates;
    for (uint32_t rate : kBaudRates) {
        rates.push_back(std::to_string(rate));
    }
    AddCombo(kBaudRate, "Baud rate:", kModuleGroup, rates);
    AddStatic(kModule, {}, kModuleGroup);
    AddStatic(kUsers, {}, kModuleGroup);

    // Start on the finger the module has on its sensor.
    const FingerOnSensor& finger = m_ports.Module().Finger();
    SetText(kPerson, std::to_string(finger ? finger->user : 1));
    SetSelection(kFinger, finger && finger->finger < kFingersPerPerson ? finger->finger : 0);
    Refresh();
    SetTimer(kRefreshTimer, kRefreshMs);
}

CSimPanelDlg::~CSimPanelDlg() = default;

void CSimPanelDlg::OnTimer(uint32_t id) {
    if (id == kRefreshTimer) {
        Refresh();
    }
}

void CSimPanelDlg::OnCommand(int id) {
    CSimModule& module = m_ports.Module();
    switch (id) {
        case kPlace: {
            const unsigned long person = std::stoul("0" + Text(kPerson));
            module.PlaceFinger(SFinger{static_cast<uint32_t>(person),
                                       static_cast<uint8_t>(std::max(Selection(kFinger), 0))});
            break;
        }
        case kLift:
            module.PlaceFinger(kNoFinger);
            break;
        case kSilent:
            module.Faults().silent = IsChecked(kSilent);
            break;
        case kChecksum:
            module.Faults().corruptChecksum = IsChecked(kChecksum);
            break;
        default:
            return;
    }
    Refresh();
}

void CSimPanelDlg::OnEditChange(int id) {
    if (id != kPerson) {
        return;
    }
    // A person's number: digits only, 1 to 99999.
    std::string digits;
    for (char c : Text(kPerson)) {
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
        }
    }
    const unsigned long person = digits.empty() ? 0 : std::stoul(digits);
    if (person > kMostPersons) {
        digits = std::to_string(kMostPersons);
    }
    SetText(kPerson, digits);
    Enable(kPlace, person >= 1);
}

void CSimPanelDlg::OnSelChange(int id) {
    const auto index = static_cast<size_t>(std::max(Selection(id), 0));
    switch (id) {
        case kResult:
            m_ports.Module().Faults().forcedResult = index == 0 ? 0 : kForcedResults[index - 1];
            break;
        case kModel:
            if (index < ModelTable().size()) {
                m_ports.SetNextModel(ModelTable()[index].code);
            }
            break;
        case kBaudRate:
            m_ports.SetNextBaudRate(kBaudRates[index]);
            break;
        default:
            return;
    }
    Refresh();
}

void CSimPanelDlg::Refresh() {
    CSimModule& module = m_ports.Module();
    const FingerOnSensor& finger = module.Finger();
    SetText(kSensor, finger ? "On the sensor: user " + std::to_string(finger->user) + ", finger " +
                                  std::to_string(finger->finger)
                            : "The sensor is empty.");
    Enable(kLift, finger.has_value());
    // The boxes follow the module when nobody has chosen otherwise.
    const auto& table = ModelTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].code == m_ports.NextModel()) {
            SetSelection(kModel, static_cast<int>(i));
        }
    }
    for (size_t i = 0; i < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == m_ports.NextBaudRate()) {
            SetSelection(kBaudRate, static_cast<int>(i));
        }
    }
    const SSimConfig& now = module.Config();
    std::string text =
        "Now " + ModelText(now.modelCode) + " at " + std::to_string(now.baudRate) + " bps.";
    if (m_ports.NextModel() != now.modelCode || m_ports.NextBaudRate() != now.baudRate) {
        text += " The choice above takes effect at the next connection.";
    }
    SetText(kModule, text);
    SetText(kUsers, std::to_string(module.UserDb().Count()) + " users enrolled; master mode " +
                        (module.Matching().MasterMode() ? "on." : "off."));
}

}  // namespace sondrix
