#include "qt/page_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "platform/dialog_model.h"
#include "qt/control_widgets.h"
#include "ui/page_layout.h"

namespace sondrix {

namespace {

// Qt's sizes, for the shared arithmetic.
SLayoutSize ToLayout(const QSize& size) {
    return {size.width(), size.height()};
}

constexpr int kRowSpacing = kLayoutRowSpacing;
constexpr int kColumnSpacing = kLayoutColumnSpacing;
constexpr int kBoxMargin = kLayoutBoxMargin;

// A caption beside a field: on one line up to about this many characters,
// wrapped between words beyond, so that one long caption does not widen a
// whole column of the page (the pages must fit a 1024-pixel-wide screen).
constexpr int kCaptionCharacters = 20;

class CCaption : public QLabel {
  public:
    CCaption(const std::string& text, QWidget* parent)
        : QLabel(QString::fromStdString(text), parent) {
        setWordWrap(true);
    }
    // Never narrower than this, so that a squeezed page takes its room from
    // the fields rather than wrapping its captions further.
    QSize minimumSizeHint() const override { return sizeHint(); }
    QSize sizeHint() const override {
        // A word-wrapped QLabel would ask for a "nice" wrapped width even
        // where one line fits.
        const QMargins margins = contentsMargins();
        const int oneLine = fontMetrics().size(Qt::TextSingleLine, text()).width();
        const int most = fontMetrics().averageCharWidth() * kCaptionCharacters;
        const int width = std::min(oneLine, most) + margins.left() + margins.right();
        return {width, heightForWidth(width)};
    }
};

}  // namespace

CPageView::CPageView(CDialogModel& model, QWidget* parent)
    : QWidget(parent), m_binder(model, this) {
    for (int id : model.ControlIds()) {
        const SControl& control = model.Control(id);
        if (IsDialogButton(control)) {
            m_dialogButtons.push_back(id);
            continue;
        }
        auto section = std::find_if(m_sections.begin(), m_sections.end(),
                                    [&](const SSection& s) { return s.caption == control.group; });
        if (section == m_sections.end()) {
            section = m_sections.insert(m_sections.end(), SSection{control.group, {}, nullptr});
        }
        section->ids.push_back(id);
    }
    for (SSection& section : m_sections) {
        FillSection(section);
    }
    Arrange();
    connect(&m_binder, &CControlBinder::refreshed, this, &CPageView::UpdateGroupBoxes);
    m_binder.Refresh(0);
}

QGroupBox* CPageView::GroupBox(const QString& caption) const {
    for (const SSection& section : m_sections) {
        if (QString::fromStdString(section.caption) == caption) {
            return qobject_cast<QGroupBox*>(section.box);
        }
    }
    return nullptr;
}

QWidget* CPageView::Create(int id, QWidget* parent, QWidget* label) {
    QWidget* widget = CreateControlWidget(m_binder.Model(), m_binder.Model().Control(id), parent);
    m_binder.Bind(id, widget, label);
    return widget;
}

void CPageView::FillSection(SSection& section) {
    const CDialogModel& model = m_binder.Model();
    if (section.caption.empty()) {
        section.box = new QWidget(this);
    } else {
        section.box = new QGroupBox(QString::fromStdString(section.caption), this);
    }
    auto* grid = new QGridLayout(section.box);
    // Tighter than Qt's default spacing: pages are dense forms, and the
    // tallest page sets the window's height.
    grid->setVerticalSpacing(kRowSpacing);
    grid->setHorizontalSpacing(kColumnSpacing);
    if (section.caption.empty()) {
        grid->setContentsMargins(0, 0, 0, 0);
    } else {
        grid->setContentsMargins(kBoxMargin, kRowSpacing, kBoxMargin, kBoxMargin);
    }
    const std::vector<int>& ids = section.ids;
    int row = 0;
    int fieldRow = -1;  // the row of a field just placed, whose third cell is free
    for (size_t i = 0; i < ids.size();) {
        const SControl& control = model.Control(ids[i]);
        const EPlacement placement = PlacementOf(control);
        QLabel* label = nullptr;
        if (!control.label.empty() && placement != EPlacement::Button &&
            placement != EPlacement::Choice) {
            label = new CCaption(control.label, section.box);
        }
        if (placement == EPlacement::Field) {
            QWidget* widget = Create(control.id, section.box, label);
            // An edit keeps its own width (a short one for a short limit) at
            // the left of its cell; lists and values fill the cell.
            const Qt::Alignment align =
                control.kind == EControlKind::Edit ? Qt::AlignLeft : Qt::Alignment();
            if (label != nullptr) {
                grid->addWidget(label, row, 0);
                grid->addWidget(widget, row, 1, align);
            } else {
                grid->addWidget(widget, row, 0, 1, 2, align);
            }
            fieldRow = row++;
            ++i;
        } else if (placement == EPlacement::Button && fieldRow >= 0) {
            grid->addWidget(Create(control.id, section.box), fieldRow, 2);
            fieldRow = -1;
            ++i;
        } else if (placement == EPlacement::Wide) {
            if (label != nullptr) {
                grid->addWidget(label, row++, 0, 1, 3);
            }
            grid->addWidget(Create(control.id, section.box, label), row, 0, 1, 3);
            if (control.kind == EControlKind::List || control.kind == EControlKind::Picture) {
                grid->setRowStretch(row, 1);
            }
            ++row;
            fieldRow = -1;
            ++i;
        } else {
            i = PlaceRun(ids, i, grid, row++);
            fieldRow = -1;
        }
    }
    grid->setColumnStretch(1, 1);
}

size_t CPageView::PlaceRun(const std::vector<int>& ids, size_t first, QGridLayout* grid, int row) {
    const CDialogModel& model = m_binder.Model();
    const SControl& lead = model.Control(ids[first]);
    const EPlacement placement = PlacementOf(lead);
    QWidget* parent = grid->parentWidget();
    // A caption on the first control names the whole run; the next control
    // with a caption starts a run of its own.
    size_t end = first + 1;
    while (end < ids.size() && PlacementOf(model.Control(ids[end])) == placement &&
           model.Control(ids[end]).label.empty()) {
        ++end;
    }
    QLabel* caption = nullptr;
    if (!lead.label.empty()) {
        caption = new CCaption(lead.label, parent);
    }
    // Controls hidden now go last, so they leave no hole in the grid.
    std::vector<QWidget*> shown;
    std::vector<QWidget*> hidden;
    int widest = 0;
    for (size_t i = first; i < end; ++i) {
        QWidget* widget = Create(ids[i], parent, i == first ? caption : nullptr);
        if (model.IsVisible(ids[i])) {
            shown.push_back(widget);
            widest = std::max(widest, widget->sizeHint().width());
        } else {
            hidden.push_back(widget);
        }
    }
    const int columns = RunColumns(placement, static_cast<int>(shown.size()), widest);
    shown.insert(shown.end(), hidden.begin(), hidden.end());
    auto* cells = new QGridLayout;
    cells->setContentsMargins(0, 0, 0, 0);
    cells->setVerticalSpacing(kRowSpacing);
    cells->setHorizontalSpacing(kColumnSpacing);
    for (size_t k = 0; k < shown.size(); ++k) {
        const int n = static_cast<int>(k);
        cells->addWidget(shown[k], n / columns, n % columns);
    }
    if (caption == nullptr) {
        grid->addLayout(cells, row, 0, 1, 3);
    } else {
        grid->addWidget(caption, row, 0);
        grid->addLayout(cells, row, 1, 1, 2);
    }
    return end;
}

void CPageView::Arrange() {
    const CDialogModel& model = m_binder.Model();
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kBoxMargin, kBoxMargin, kBoxMargin, kBoxMargin);
    auto* columnsRow = new QHBoxLayout;
    columnsRow->setSpacing(kColumnSpacing);
    outer->addLayout(columnsRow, 1);
    std::vector<SLayoutSize> hints;
    for (const SSection& section : m_sections) {
        hints.push_back(ToLayout(section.box->sizeHint()));
    }
    if (!hints.empty()) {
        const int count = ChooseColumnCount(hints, kColumnSpacing);
        const std::vector<int> assignment = AssignColumns(hints, count, kColumnSpacing).columnOf;
        std::vector<QVBoxLayout*> columns;
        for (int c = 0; c < count; ++c) {
            columns.push_back(new QVBoxLayout);
            columns.back()->setSpacing(kColumnSpacing);
            columnsRow->addLayout(columns.back());
        }
        // A section with a list takes the height its column has spare; the
        // other columns keep their sections at the top.
        std::vector<bool> grows(columns.size(), false);
        for (size_t i = 0; i < m_sections.size(); ++i) {
            const auto column = static_cast<size_t>(assignment[i]);
            const bool list =
                std::any_of(m_sections[i].ids.begin(), m_sections[i].ids.end(),
                            [&](int id) { return model.Control(id).kind == EControlKind::List; });
            columns[column]->addWidget(m_sections[i].box, list ? 1 : 0);
            grows[column] = grows[column] || list;
        }
        for (size_t c = 0; c < columns.size(); ++c) {
            if (!grows[c]) {
                columns[c]->addStretch(1);
            }
        }
    }
    if (!m_dialogButtons.empty()) {
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        for (int id : m_dialogButtons) {
            buttons->addWidget(Create(id, this));
        }
        outer->addLayout(buttons);
    }
}

void CPageView::UpdateGroupBoxes() {
    const CDialogModel& model = m_binder.Model();
    for (const SSection& section : m_sections) {
        const bool any = std::any_of(section.ids.begin(), section.ids.end(),
                                     [&](int id) { return model.IsVisible(id); });
        section.box->setVisible(any);
    }
}

}  // namespace sondrix
