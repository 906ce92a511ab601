#pragma once

#include <QWidget>
#include <vector>

#include "qt/control_binder.h"

class QGridLayout;
class QGroupBox;

namespace sondrix {

class CDialogModel;

// Shows any page or popup model: its controls in group boxes (one per group
// caption, in control order), captions beside edits, lists and values, a
// button right after a field beside that field, runs of buttons and of
// choices in small grids, and the dialog's own OK and Cancel in a row at the
// bottom. The group boxes are spread over as many columns as make the page
// fit a window. The view must not outlive its model.
class CPageView : public QWidget {
    Q_OBJECT

  public:
    explicit CPageView(CDialogModel& model, QWidget* parent = nullptr);

    CControlBinder& Binder() { return m_binder; }
    QWidget* Widget(int id) const { return m_binder.Widget(id); }
    // The group box of a group caption, or null.
    QGroupBox* GroupBox(const QString& caption) const;

  private:
    struct SSection {
        std::string caption;
        std::vector<int> ids;
        QWidget* box = nullptr;  // a QGroupBox, or a plain widget for no group
    };

    void FillSection(SSection& section);
    // Places a run of same-placement controls from ids[first] on in a small
    // grid spanning the section's row; returns the index after the run.
    size_t PlaceRun(const std::vector<int>& ids, size_t first, QGridLayout* grid, int row);
    QWidget* Create(int id, QWidget* parent, QWidget* label = nullptr);
    void Arrange();
    void UpdateGroupBoxes();

    CControlBinder m_binder;
    std::vector<SSection> m_sections;
    std::vector<int> m_dialogButtons;
};

}  // namespace sondrix
