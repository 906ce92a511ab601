#include "qt/sim_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <array>

#include "link/model_table.h"
#include "link/result_codes.h"
#include "sim/sim_desk_ports.h"
#include "sim/sim_matching.h"
#include "sim/sim_panel_dlg.h"

namespace sondrix {

namespace {

constexpr auto kBaudRates = CSimPanelDlg::kBaudRates;
constexpr auto kForcedResults = CSimPanelDlg::kForcedResults;
// The module changes under the program's hands (registrations, master mode).
constexpr int kRefreshMs = 500;
// The rows' margins and spacing, and the gap before each row's text.
constexpr int kRowMargin = 4;
constexpr int kRowGap = 12;

QString FingerText(const SFinger& finger) {
    return QStringLiteral("user %1, finger %2").arg(finger.user).arg(finger.finger);
}

QString ModelText(uint16_t code) {
    const SModelInfo* model = FindModelByCode(code);
    return model ? QString::fromUtf8(model->name.data(), static_cast<qsizetype>(model->name.size()))
                 : QStringLiteral("0x%1").arg(code, 4, 16, QLatin1Char('0'));
}

}  // namespace

CSimPanel::CSimPanel(CSimDeskPorts& ports, EShape shape, QWidget* parent)
    : QWidget(parent), m_ports(ports) {
    setObjectName(QStringLiteral("simulatedModule"));
    MakeFingerControls();
    MakeFaultControls();
    MakeModuleControls();
    if (shape == EShape::Column) {
        ArrangeColumn();
    } else {
        ArrangeRows();
    }

    m_refresh = new QTimer(this);
    connect(m_refresh, &QTimer::timeout, this, &CSimPanel::Refresh);
    m_refresh->start(kRefreshMs);
    Refresh();
}

void CSimPanel::MakeFingerControls() {
    m_sensor = new QLabel(this);
    // A virtual finger is a person's number and one of that person's ten
    // fingers; the same finger always gives the same print.
    m_user = new QSpinBox(this);
    m_user->setRange(1, 99999);
    m_user->setToolTip(
        QStringLiteral("The person the finger belongs to. Users the module starts "
                       "with (--users N) have finger 0 of persons 1..N."));
    m_finger = new QComboBox(this);
    for (int finger = 0; finger < kFingersPerPerson; ++finger) {
        m_finger->addItem(QStringLiteral("Finger %1").arg(finger));
    }
    m_place = new QPushButton(QStringLiteral("Place"), this);
    m_lift = new QPushButton(QStringLiteral("Lift"), this);
    connect(m_place, &QPushButton::clicked, this, &CSimPanel::PlaceFinger);
    connect(m_lift, &QPushButton::clicked, this, &CSimPanel::LiftFinger);

    // Start on the finger the module has on its sensor.
    if (const FingerOnSensor& finger = m_ports.Module().Finger()) {
        m_user->setValue(static_cast<int>(finger->user));
        m_finger->setCurrentIndex(finger->finger < kFingersPerPerson ? finger->finger : 0);
    }
}

void CSimPanel::MakeFaultControls() {
    SSimFaults& faults = m_ports.Module().Faults();
    m_silent = new QCheckBox(QStringLiteral("Silent (answers nothing)"), this);
    m_silent->setChecked(faults.silent);
    connect(m_silent, &QCheckBox::toggled, this,
            [this](bool on) { m_ports.Module().Faults().silent = on; });
    m_checksum = new QCheckBox(QStringLiteral("Checksum error in every answer"), this);
    m_checksum->setChecked(faults.corruptChecksum);
    connect(m_checksum, &QCheckBox::toggled, this,
            [this](bool on) { m_ports.Module().Faults().corruptChecksum = on; });

    m_result = new QComboBox(this);
    m_result->addItem(QStringLiteral("None"), 0u);
    for (uint32_t code : kForcedResults) {
        m_result->addItem(
            QStringLiteral("%1 %2").arg(code).arg(QString::fromUtf8(ResultText(code))), code);
    }
    m_result->setToolTip(QStringLiteral("Every answer carries this result code."));
    m_result->setCurrentIndex(std::max(0, m_result->findData(faults.forcedResult)));
    connect(m_result, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_ports.Module().Faults().forcedResult = m_result->itemData(index).toUInt();
    });
}

void CSimPanel::MakeModuleControls() {
    m_model = new QComboBox(this);
    for (const SModelInfo& model : ModelTable()) {
        m_model->addItem(ModelText(model.code), uint32_t{model.code});
    }
    connect(m_model, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_ports.SetNextModel(static_cast<uint16_t>(m_model->itemData(index).toUInt()));
        Refresh();
    });
    m_baud = new QComboBox(this);
    for (uint32_t rate : kBaudRates) {
        m_baud->addItem(QString::number(rate), rate);
    }
    connect(m_baud, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_ports.SetNextBaudRate(m_baud->itemData(index).toUInt());
        Refresh();
    });
    m_module = new QLabel(this);
    m_users = new QLabel(this);
}

void CSimPanel::ArrangeColumn() {
    // Three groups one under the other, their texts wrapped to the column.
    auto* finger = new QGroupBox(QStringLiteral("Finger on the sensor"), this);
    auto* fingerForm = new QFormLayout(finger);
    fingerForm->addRow(m_sensor);
    fingerForm->addRow(QStringLiteral("Person:"), m_user);
    fingerForm->addRow(QStringLiteral("Finger:"), m_finger);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_place);
    buttons->addWidget(m_lift);
    fingerForm->addRow(buttons);

    auto* faults = new QGroupBox(QStringLiteral("Faults"), this);
    auto* faultForm = new QFormLayout(faults);
    faultForm->addRow(m_silent);
    faultForm->addRow(m_checksum);
    faultForm->addRow(QStringLiteral("Result:"), m_result);

    auto* module = new QGroupBox(QStringLiteral("Module"), this);
    auto* moduleForm = new QFormLayout(module);
    moduleForm->addRow(QStringLiteral("Model:"), m_model);
    moduleForm->addRow(QStringLiteral("Baud rate:"), m_baud);
    moduleForm->addRow(m_module);
    moduleForm->addRow(m_users);

    for (QLabel* text : {m_sensor, m_module, m_users}) {
        text->setWordWrap(true);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(finger);
    layout->addWidget(faults);
    layout->addWidget(module);
    layout->addStretch(1);
}

void CSimPanel::ArrangeRows() {
    // Three rows, the finger first: as short as the panel can be, for the
    // strip under the pages. Each row ends in the texts that say what the
    // module holds.
    const auto row = [](std::initializer_list<QWidget*> controls, QLabel* text) {
        auto* line = new QHBoxLayout;
        for (QWidget* control : controls) {
            line->addWidget(control);
        }
        line->addSpacing(kRowGap);
        line->addWidget(text, 1);
        return line;
    };
    const auto caption = [this](const char* text) {
        return new QLabel(QString::fromUtf8(text), this);
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kRowMargin, kRowMargin, kRowMargin, kRowMargin);
    layout->setSpacing(kRowMargin);
    layout->addLayout(
        row({caption("Person:"), m_user, caption("Finger:"), m_finger, m_place, m_lift}, m_sensor));
    layout->addLayout(row({m_silent, m_checksum, caption("Result:"), m_result}, m_users));
    layout->addLayout(row({caption("Model:"), m_model, caption("Baud rate:"), m_baud}, m_module));
    layout->addStretch(1);
}

void CSimPanel::PlaceFinger() {
    m_ports.Module().PlaceFinger(SFinger{static_cast<uint32_t>(m_user->value()),
                                         static_cast<uint8_t>(m_finger->currentIndex())});
    Refresh();
}

void CSimPanel::LiftFinger() {
    m_ports.Module().PlaceFinger(kNoFinger);
    Refresh();
}

void CSimPanel::Refresh() {
    CSimModule& module = m_ports.Module();
    const FingerOnSensor& finger = module.Finger();
    m_sensor->setText(finger ? QStringLiteral("On the sensor: ") + FingerText(*finger)
                             : QStringLiteral("The sensor is empty."));
    m_lift->setEnabled(finger.has_value());

    // The boxes follow the module when nobody has chosen otherwise.
    {
        const QSignalBlocker modelQuiet(m_model);
        const QSignalBlocker baudQuiet(m_baud);
        m_model->setCurrentIndex(
            std::max(0, m_model->findData(static_cast<uint32_t>(m_ports.NextModel()))));
        m_baud->setCurrentIndex(std::max(0, m_baud->findData(m_ports.NextBaudRate())));
    }
    const SSimConfig& now = module.Config();
    QString text =
        QStringLiteral("Now %1 at %2 bps.").arg(ModelText(now.modelCode)).arg(now.baudRate);
    if (m_ports.NextModel() != now.modelCode || m_ports.NextBaudRate() != now.baudRate) {
        text += QStringLiteral(" The choice above takes effect at the next connection.");
    }
    m_module->setText(text);
    m_users->setText(
        QStringLiteral("%1 users enrolled; master mode %2.")
            .arg(module.UserDb().Count())
            .arg(module.Matching().MasterMode() ? QStringLiteral("on") : QStringLiteral("off")));
}

}  // namespace sondrix
