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

QString FingerText(const SFinger& finger) {
    return QStringLiteral("user %1, finger %2").arg(finger.user).arg(finger.finger);
}

QString ModelText(uint16_t code) {
    const SModelInfo* model = FindModelByCode(code);
    return model ? QString::fromUtf8(model->name.data(), static_cast<qsizetype>(model->name.size()))
                 : QStringLiteral("0x%1").arg(code, 4, 16, QLatin1Char('0'));
}

}  // namespace

CSimPanel::CSimPanel(CSimDeskPorts& ports, QWidget* parent)
    : QDockWidget(QStringLiteral("Simulated module"), parent), m_ports(ports) {
    setObjectName(QStringLiteral("simulatedModulePanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->addWidget(MakeFingerGroup());
    layout->addWidget(MakeFaultGroup());
    layout->addWidget(MakeModuleGroup());
    layout->addStretch(1);
    setWidget(body);

    m_refresh = new QTimer(this);
    connect(m_refresh, &QTimer::timeout, this, &CSimPanel::Refresh);
    m_refresh->start(kRefreshMs);
    Refresh();
}

QWidget* CSimPanel::MakeFingerGroup() {
    auto* group = new QGroupBox(QStringLiteral("Finger on the sensor"));
    auto* form = new QFormLayout(group);
    m_sensor = new QLabel(group);
    m_sensor->setWordWrap(true);
    form->addRow(m_sensor);

    // A virtual finger is a person's number and one of that person's ten
    // fingers; the same finger always gives the same print.
    m_user = new QSpinBox(group);
    m_user->setRange(1, 99999);
    m_user->setToolTip(
        QStringLiteral("The person the finger belongs to. Users the module starts "
                       "with (--users N) have finger 0 of persons 1..N."));
    form->addRow(QStringLiteral("Person:"), m_user);
    m_finger = new QComboBox(group);
    for (int finger = 0; finger < kFingersPerPerson; ++finger) {
        m_finger->addItem(QStringLiteral("Finger %1").arg(finger));
    }
    form->addRow(QStringLiteral("Finger:"), m_finger);

    auto* buttons = new QHBoxLayout;
    m_place = new QPushButton(QStringLiteral("Place"), group);
    m_lift = new QPushButton(QStringLiteral("Lift"), group);
    buttons->addWidget(m_place);
    buttons->addWidget(m_lift);
    form->addRow(buttons);
    connect(m_place, &QPushButton::clicked, this, &CSimPanel::PlaceFinger);
    connect(m_lift, &QPushButton::clicked, this, &CSimPanel::LiftFinger);

    // Start on the finger the module has on its sensor.
    if (const FingerOnSensor& finger = m_ports.Module().Finger()) {
        m_user->setValue(static_cast<int>(finger->user));
        m_finger->setCurrentIndex(finger->finger < kFingersPerPerson ? finger->finger : 0);
    }
    return group;
}

QWidget* CSimPanel::MakeFaultGroup() {
    auto* group = new QGroupBox(QStringLiteral("Faults"));
    auto* form = new QFormLayout(group);
    SSimFaults& faults = m_ports.Module().Faults();
    m_silent = new QCheckBox(QStringLiteral("Silent (answers nothing)"), group);
    m_silent->setChecked(faults.silent);
    connect(m_silent, &QCheckBox::toggled, this,
            [this](bool on) { m_ports.Module().Faults().silent = on; });
    form->addRow(m_silent);
    m_checksum = new QCheckBox(QStringLiteral("Checksum error in every answer"), group);
    m_checksum->setChecked(faults.corruptChecksum);
    connect(m_checksum, &QCheckBox::toggled, this,
            [this](bool on) { m_ports.Module().Faults().corruptChecksum = on; });
    form->addRow(m_checksum);

    m_result = new QComboBox(group);
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
    form->addRow(QStringLiteral("Result:"), m_result);
    return group;
}

QWidget* CSimPanel::MakeModuleGroup() {
    auto* group = new QGroupBox(QStringLiteral("Module"));
    auto* form = new QFormLayout(group);
    m_model = new QComboBox(group);
    for (const SModelInfo& model : ModelTable()) {
        m_model->addItem(ModelText(model.code), uint32_t{model.code});
    }
    connect(m_model, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_ports.SetNextModel(static_cast<uint16_t>(m_model->itemData(index).toUInt()));
        Refresh();
    });
    form->addRow(QStringLiteral("Model:"), m_model);

    m_baud = new QComboBox(group);
    for (uint32_t rate : kBaudRates) {
        m_baud->addItem(QString::number(rate), rate);
    }
    connect(m_baud, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_ports.SetNextBaudRate(m_baud->itemData(index).toUInt());
        Refresh();
    });
    form->addRow(QStringLiteral("Baud rate:"), m_baud);

    m_module = new QLabel(group);
    m_module->setWordWrap(true);
    form->addRow(m_module);
    m_users = new QLabel(group);
    m_users->setWordWrap(true);
    form->addRow(m_users);
    return group;
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
