#include "qt/control_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "app/about_dlg.h"
#include "platform/dialog_model.h"
#include "qt/about_picture.h"
#include "qt/gradient_bar.h"
#include "qt/image_display.h"
#include "qt/list_view.h"
#include "qt/picture_widget.h"
#include "ui/image_dlg.h"
#include "ui/popup_progress_dlg.h"

namespace sondrix {

namespace {

constexpr int kValueCharacters = 10;
// An edit squeezed on a narrow screen still shows a few digits.
constexpr int kSqueezedEditCharacters = 6;

// A value beside its caption, in a sunken box as a read-only field: room for
// a short value at least, and never narrower than the value it shows (a
// fixed minimum would let a longer value be cut off).
class CValueLabel : public QLabel {
  public:
    explicit CValueLabel(QWidget* parent) : QLabel(parent) {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    QSize minimumSizeHint() const override {
        return QLabel::minimumSizeHint().expandedTo(ShortValue());
    }
    QSize sizeHint() const override { return QLabel::sizeHint().expandedTo(ShortValue()); }

  private:
    QSize ShortValue() const {
        return {fontMetrics().averageCharWidth() * kValueCharacters + frameWidth() * 2, 0};
    }
};

class CFieldEdit : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    QSize minimumSizeHint() const override {
        const int digits =
            fontMetrics().horizontalAdvance(QLatin1Char('0')) * kSqueezedEditCharacters;
        return QLineEdit::minimumSizeHint().expandedTo({digits + kEditFrameAndMargins, 0});
    }
};

QWidget* CreatePicture(CDialogModel& model, const SControl& control, QWidget* parent) {
    if (control.id == CImageDlg::kImage && dynamic_cast<CImageDlg*>(&model) != nullptr) {
        return new CImageDisplay(parent);
    }
    if (control.id == CAboutDlg::kPicture && dynamic_cast<CAboutDlg*>(&model) != nullptr) {
        return new CAboutPicture(parent);
    }
    return new CPictureWidget(parent);
}

QWidget* CreateProgress(CDialogModel& model, const SControl& control, QWidget* parent) {
    auto* popup = dynamic_cast<CPopupProgressDlg*>(&model);
    if (popup != nullptr && control.id == CPopupProgressDlg::kBar) {
        return new CGradientBar(popup->bar, parent);
    }
    return new CPictureWidget(parent);
}

QLabel* CreateStatic(CDialogModel& model, const SControl& control, QWidget* parent) {
    if (!control.label.empty()) {
        auto* value = new CValueLabel(parent);
        value->setTextFormat(Qt::PlainText);
        return value;
    }
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    if (control.id == CAboutDlg::kVersionLine && dynamic_cast<CAboutDlg*>(&model) != nullptr) {
        // The version line as it always looked: Calibri, 25 pixels, brown.
        QFont font(QStringLiteral("Calibri"));
        font.setPixelSize(25);
        label->setFont(font);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, QColor(100, 50, 50));
        label->setPalette(colours);
    } else {
        // Wide enough that a sentence wraps into a line or two, not a column.
        label->setWordWrap(true);
        label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 40);
    }
    return label;
}

QTabBar* CreateTabBar(const SControl& control, QWidget* parent) {
    auto* tabs = new QTabBar(parent);
    for (const std::string& item : control.items) {
        tabs->addTab(QString::fromStdString(item));
    }
    return tabs;
}

}  // namespace

QWidget* CreateControlWidget(CDialogModel& model, const SControl& control, QWidget* parent) {
    switch (control.kind) {
        case EControlKind::Button:
            return new QPushButton(parent);
        case EControlKind::CheckBox:
            return new QCheckBox(parent);
        case EControlKind::Radio: {
            // The model decides which radio is checked.
            auto* radio = new QRadioButton(parent);
            radio->setAutoExclusive(false);
            return radio;
        }
        case EControlKind::Edit:
            return new CFieldEdit(parent);
        case EControlKind::Static:
            return CreateStatic(model, control, parent);
        case EControlKind::Combo: {
            // Sized for its choices (the binder sets the length once it has
            // them); no choice has an icon, so no room is kept for one.
            auto* combo = new QComboBox(parent);
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo->setMinimumContentsLength(kComboCharacters);
            combo->setIconSize({0, 0});
            return combo;
        }
        case EControlKind::List:
            return new CListView(model.List(control.id), CListView::EStyle::Report, parent);
        case EControlKind::Picture:
            return CreatePicture(model, control, parent);
        case EControlKind::Progress:
            return CreateProgress(model, control, parent);
        case EControlKind::Tabs:
            return CreateTabBar(control, parent);
    }
    return new QWidget(parent);
}

}  // namespace sondrix
