#include "qt/control_binder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTabBar>
#include <QToolTip>
#include <algorithm>

#include "platform/dialog_model.h"
#include "qt/control_widgets.h"
#include "qt/image_display.h"
#include "qt/picture_widget.h"
#include "ui/image_dlg.h"

namespace sondrix {

namespace {

// Tooltips wrap at this width, as the program's tips always did.
constexpr int kTooltipWidth = 300;

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList ToQStrings(const std::vector<std::string>& items) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) {
        list.push_back(ToQString(item));
    }
    return list;
}

// An edit without a limit takes as much as Qt's line edit can.
constexpr int kNoLimit = 32767;

// An edit for a few characters needs no more room than they take (and a
// little more, so a short one still looks like a field).
int EditWidthFor(const QLineEdit& edit, size_t limit) {
    if (limit == 0) {
        return QWIDGETSIZE_MAX;
    }
    constexpr int kFewest = 10;
    const int characters = std::max(static_cast<int>(limit), kFewest);
    return edit.fontMetrics().horizontalAdvance(QLatin1Char('0')) * characters +
           kEditFrameAndMargins;
}

}  // namespace

QString WrapTooltip(const std::string& text, const QFontMetrics& metrics, int maxWidth) {
    QStringList lines;
    for (const QString& paragraph : ToQString(text).split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > maxWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = longer;
            }
        }
        lines.push_back(line);
    }
    return lines.join(QLatin1Char('\n')).trimmed();
}

CControlBinder::CControlBinder(CDialogModel& model, QWidget* window, QObject* parent)
    : QObject(parent),
      m_model(model),
      m_window(window),
      m_watch(model, [this](int id) { Refresh(id); }) {}

CControlBinder::~CControlBinder() = default;

void CControlBinder::Bind(int id, QWidget* widget, QWidget* label) {
    m_bindings[id] = {widget, label};
    Connect(id, widget);
    Refresh(id);
}

QWidget* CControlBinder::Widget(int id) const {
    auto it = m_bindings.find(id);
    return it == m_bindings.end() ? nullptr : it->second.widget.data();
}

template <class Action>
void CControlBinder::Forward(int id, Action action) {
    if (m_applying != 0) {
        return;
    }
    // The action may close the view that owns this binder.
    QPointer<CControlBinder> alive(this);
    // A handler may disable the control the person pressed and enable it
    // again (continuous capture disables all buttons but its own); Qt moves
    // the focus on at the first step, and the next key would press another
    // button. The focus goes back to where the person left it.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    action();
    if (alive) {
        Refresh(id);
    }
    if (focused && QApplication::focusWidget() != focused && focused->isEnabled() &&
        focused->isVisible() && QApplication::activeModalWidget() == nullptr) {
        focused->setFocus(Qt::OtherFocusReason);
    }
}

void CControlBinder::Click(int id) {
    Forward(id, [this, id] { m_model.Click(id); });
}

void CControlBinder::Connect(int id, QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { Click(id); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        // textEdited: only what the person types, never what the model sets.
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
            Forward(id, [this, id, text] { m_model.Type(id, text.toStdString()); });
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        connect(combo, &QComboBox::activated, this, [this, id](int index) {
            Forward(id, [this, id, index] { m_model.Select(id, index); });
        });
    } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        connect(tabs, &QTabBar::currentChanged, this, [this, id](int index) {
            Forward(id, [this, id, index] { m_model.Select(id, index); });
        });
    } else if (auto* picture = qobject_cast<CPictureWidget*>(widget)) {
        connect(picture, &CPictureWidget::doubleClicked, this, [this, id] { Click(id); });
    }
}

void CControlBinder::Refresh(int id) {
    if (id == 0) {
        if (m_window) {
            m_window->setEnabled(m_model.IsWindowEnabled());
        }
        for (const auto& [boundId, binding] : m_bindings) {
            Apply(m_model.Control(boundId), binding);
        }
    } else if (auto it = m_bindings.find(id); it != m_bindings.end()) {
        Apply(m_model.Control(id), it->second);
    }
    emit refreshed(id);
}

void CControlBinder::Apply(const SControl& control, const SBinding& binding) {
    QWidget* widget = binding.widget;
    if (widget == nullptr) {
        return;
    }
    ++m_applying;
    widget->setVisible(control.visible);
    widget->setEnabled(control.enabled);
    widget->setToolTip(WrapTooltip(control.tooltip, QFontMetrics(QToolTip::font()), kTooltipWidth));
    if (binding.label) {
        binding.label->setVisible(control.visible);
        binding.label->setEnabled(control.enabled);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(ToQString(control.text));
        if (button->isCheckable()) {
            button->setChecked(control.checked);
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        const QString text = ToQString(control.text);
        if (edit->text() != text) {
            edit->setText(text);
        }
        edit->setMaxLength(control.limit == 0 ? kNoLimit : static_cast<int>(control.limit));
        edit->setMaximumWidth(EditWidthFor(*edit, control.limit));
        edit->setEchoMode(control.password ? QLineEdit::Password : QLineEdit::Normal);
        edit->setReadOnly(control.readOnly);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QStringList items = ToQStrings(control.items);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) {
            shown.push_back(combo->itemText(i));
        }
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
            qsizetype longest = 1;
            for (const QString& item : items) {
                longest = std::max(longest, item.size());
            }
            combo->setMinimumContentsLength(
                static_cast<int>(std::min<qsizetype>(longest, kComboCharacters)));
        }
        combo->setCurrentIndex(control.selection);
    } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        const int count = std::min(tabs->count(), static_cast<int>(control.items.size()));
        for (int i = 0; i < count; ++i) {
            tabs->setTabText(i, ToQString(control.items[static_cast<size_t>(i)]));
        }
        if (control.selection >= 0 && control.selection < tabs->count()) {
            tabs->setCurrentIndex(control.selection);
        }
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(ToQString(control.text));
    } else if (auto* image = dynamic_cast<CImageDisplay*>(widget)) {
        const auto* page = dynamic_cast<const CImageDlg*>(&m_model);
        if (page != nullptr && page->imagePresent == 1) {
            image->SetImage(page->imageBuffer.data(), page->imageWidth, page->imageHeight);
        } else {
            image->SetImage(nullptr, 0, 0);
        }
    } else {
        // Pictures, bars and lists draw from their own data.
        widget->update();
    }
    --m_applying;
}

}  // namespace sondrix
