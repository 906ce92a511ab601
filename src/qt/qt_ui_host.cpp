#include "qt/qt_ui_host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>

#include "platform/dialog_model.h"
#include "qt/desk_settings.h"
#include "qt/model_dialog.h"

namespace sondrix {

namespace {

// Popups use a larger font than the window, as they always did.
constexpr int kPopupPointSize = 14;

QMessageBox::Icon ToQtIcon(EIcon icon) {
    switch (icon) {
        case EIcon::Information:
            return QMessageBox::Information;
        case EIcon::Stop:
            return QMessageBox::Critical;
        case EIcon::Question:
            return QMessageBox::Question;
        case EIcon::Warning:
            return QMessageBox::Warning;
        case EIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Return presses the first button, Escape the negative one.
struct SButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escape;
};

SButtonSet ToQtButtons(EButtons buttons) {
    switch (buttons) {
        case EButtons::OkCancel:
            return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
        case EButtons::YesNo:
            return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No};
        case EButtons::Ok:
            break;
    }
    return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
}

EAnswer ToAnswer(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return EAnswer::Cancel;
        case QMessageBox::Yes:
            return EAnswer::Yes;
        case QMessageBox::No:
            return EAnswer::No;
        default:
            return EAnswer::Ok;
    }
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
    QStringList result;
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& text = parts[i];
        const QString& pattern = parts[i + 1];
        if (text.isEmpty()) {
            break;
        }
        QStringList patterns = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& one : patterns) {
            one = one.trimmed();
            if (one == QLatin1String("*.*")) {
                one = QStringLiteral("*");
            }
        }
        const QString qtPattern = patterns.join(QLatin1Char(' '));
        const QString ownPattern = QLatin1Char('(') + pattern + QLatin1Char(')');
        if (text.endsWith(ownPattern)) {
            result.push_back(text.chopped(ownPattern.size()) + QLatin1Char('(') + qtPattern +
                             QLatin1Char(')'));
        } else {
            result.push_back(text + QStringLiteral(" (") + qtPattern + QLatin1Char(')'));
        }
    }
    return result;
}

QString QtDefaultSuffix(const std::string& extension) {
    return QString::fromStdString(DefaultSuffix(extension));
}

EAnswer CQtUiHost::MessageBox(const std::string& text, EIcon icon, EButtons buttons,
                              const std::string& caption) {
    const SButtonSet set = ToQtButtons(buttons);
    QString title = QString::fromStdString(caption);
    if (title.isEmpty() && m_parent) {
        title = m_parent->window()->windowTitle();
    }
    QMessageBox box(ToQtIcon(icon), title, QString::fromStdString(text), set.buttons, m_parent);
    box.setDefaultButton(set.defaultButton);
    box.setEscapeButton(set.escape);
    return ToAnswer(box.exec());
}

std::vector<std::string> CQtUiHost::FileDialog(const SFileDialog& request) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (request.save) {
        dialog.setFileMode(QFileDialog::AnyFile);
    } else if (request.multiSelect) {
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else {
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setNameFilters(QtNameFilters(request.filter));
    dialog.setDefaultSuffix(QtDefaultSuffix(request.defaultExtension));
    // Where the program keeps such files, else where the person went last.
    const QString kind = QString::fromStdString(FileDialogKind(request));
    if (!request.folder.empty()) {
        dialog.setDirectory(QFile::decodeName(request.folder.c_str()));
    } else if (m_settings != nullptr) {
        const QString folder = m_settings->Folder(kind);
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            dialog.setDirectory(folder);
        }
    }
    std::vector<std::string> paths;
    if (dialog.exec() == QDialog::Accepted) {
        for (const QString& path : dialog.selectedFiles()) {
            paths.push_back(QFile::encodeName(path).toStdString());
        }
        if (m_settings != nullptr) {
            m_settings->KeepFolder(kind, dialog.directory().absolutePath());
        }
    }
    return paths;
}

void CQtUiHost::OpenUrl(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

QFont CQtUiHost::PopupFont() const {
    QFont font = m_parent ? m_parent->font() : QApplication::font();
    font.setPointSize(kPopupPointSize);
    return font;
}

int CQtUiHost::RunModal(CDialogModel& dialog) {
    dialog.ResetEnded();
    dialog.OnInitDialog();
    CModelDialog view(dialog, PopupFont(), m_parent);
    return view.RunModal();
}

void CQtUiHost::ShowModeless(CDialogModel& dialog) {
    QPointer<CModelDialog>& view = m_modeless[&dialog];
    if (!view) {
        view = new CModelDialog(dialog, PopupFont(), m_parent);
    }
    view->show();
    view->raise();
    // In front and with the keyboard: Escape is its Cancel.
    view->activateWindow();
}

void CQtUiHost::CloseModeless(CDialogModel& dialog) {
    auto it = m_modeless.find(&dialog);
    if (it == m_modeless.end()) {
        return;
    }
    if (CModelDialog* view = it->second) {
        view->hide();
        // Later: the close may come from a click inside the view itself.
        view->deleteLater();
    }
    m_modeless.erase(it);
}

CModelDialog* CQtUiHost::ModelessView(const CDialogModel& dialog) const {
    auto it = m_modeless.find(&dialog);
    return it == m_modeless.end() ? nullptr : it->second.data();
}

SScreenSize CQtUiHost::ScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    const QSize size = screen->geometry().size();
    return {size.width(), size.height()};
}

}  // namespace sondrix
