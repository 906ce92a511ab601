#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace sondrix {

class CSimDeskPorts;

// The panel of `sondrix --simulate` that plays the simulated module: which
// virtual finger lies on the sensor, faults on the line, and the model and
// line speed the module takes at the next connection. It works on the module
// directly, on the thread of the program's loop that the module lives on.
class CSimPanel : public QWidget {
    Q_OBJECT

  public:
    // A column of three group boxes (docked beside the window), or three
    // rows for the strip under the pages where a screen has no room beside
    // them.
    enum class EShape { Column, Rows };

    explicit CSimPanel(CSimDeskPorts& ports, EShape shape = EShape::Column,
                       QWidget* parent = nullptr);

    QSpinBox* UserBox() const { return m_user; }
    QComboBox* FingerBox() const { return m_finger; }
    QPushButton* PlaceButton() const { return m_place; }
    QPushButton* LiftButton() const { return m_lift; }
    QLabel* SensorLine() const { return m_sensor; }
    QCheckBox* SilentBox() const { return m_silent; }
    QCheckBox* ChecksumBox() const { return m_checksum; }
    QComboBox* ResultBox() const { return m_result; }
    QComboBox* ModelBox() const { return m_model; }
    QComboBox* BaudBox() const { return m_baud; }
    QLabel* ModuleLine() const { return m_module; }

    // Shows what the module holds now (the program may have registered or
    // deleted users, entered master mode, a connection may have taken the
    // next model).
    void Refresh();

  private:
    void MakeFingerControls();
    void MakeFaultControls();
    void MakeModuleControls();
    void ArrangeColumn();
    void ArrangeRows();
    void PlaceFinger();
    void LiftFinger();

    CSimDeskPorts& m_ports;
    QSpinBox* m_user = nullptr;
    QComboBox* m_finger = nullptr;
    QPushButton* m_place = nullptr;
    QPushButton* m_lift = nullptr;
    QLabel* m_sensor = nullptr;
    QLabel* m_users = nullptr;
    QCheckBox* m_silent = nullptr;
    QCheckBox* m_checksum = nullptr;
    QComboBox* m_result = nullptr;
    QComboBox* m_model = nullptr;
    QComboBox* m_baud = nullptr;
    QLabel* m_module = nullptr;
    QTimer* m_refresh = nullptr;
};

}  // namespace sondrix
