#include "qt/desk_settings.h"

#include <QFile>
#include <QSplitter>
#include <QStringDecoder>
#include <algorithm>
#include <cstdio>

#include "qt/main_window.h"

namespace sondrix {

namespace {

const QString kGeometry = QString::fromLatin1(desk_keys::kGeometry);
const QString kState = QString::fromLatin1(desk_keys::kState);
const QString kSplitter = QString::fromLatin1(desk_keys::kSplitter);
const QString kFolders = QString::fromLatin1(desk_keys::kFolders);

// Qt reads much of a damaged file as settings of some kind. A file it
// wrote is text: UTF-8 without control characters but line ends and tabs
// (it escapes everything else), so anything else is damage.
bool LooksDamaged(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;  // none yet, or none to read: nothing to ignore
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError()) {
        return true;
    }
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control && c != QLatin1Char('\n') &&
               c != QLatin1Char('\r') && c != QLatin1Char('\t');
    });
}

}  // namespace

CDeskSettings::CDeskSettings(bool reset) : m_settings(std::make_unique<QSettings>()) {
    if (reset) {
        m_settings->clear();
        return;
    }
    const QString path = m_settings->fileName();
    QSettings::Status status = m_settings->status();
    if (status == QSettings::NoError && LooksDamaged(path)) {
        status = QSettings::FormatError;
    }
    if (status == QSettings::AccessError) {
        std::fprintf(stderr, "sondrix: cannot read the settings file %s; starting without it\n",
                     qPrintable(path));
        m_settings->clear();
    } else if (status == QSettings::FormatError) {
        // Kept for a look, out of the way: Qt would not write over it.
        const QString aside = path + QStringLiteral(".damaged");
        m_settings.reset();
        QFile::remove(aside);
        QFile::rename(path, aside);
        std::fprintf(stderr,
                     "sondrix: the settings file %s is damaged; moved it to %s and starting "
                     "without it\n",
                     qPrintable(path), qPrintable(aside));
        m_settings = std::make_unique<QSettings>();
        m_settings->clear();
    }
}

void CDeskSettings::Restore(CMainWindow& window, CSondrixDlg& dialog) const {
    // Each part that does not fit this window or screen is skipped: Qt
    // checks what it is given.
    window.restoreGeometry(m_settings->value(kGeometry).toByteArray());
    window.restoreState(m_settings->value(kState).toByteArray());
    window.Splitter()->restoreState(m_settings->value(kSplitter).toByteArray());
    ApplyDeskChoices(dialog, Choices());
}

void CDeskSettings::Keep(const CMainWindow& window, const CSondrixDlg& dialog) {
    m_settings->setValue(kGeometry, window.saveGeometry());
    m_settings->setValue(kState, window.saveState());
    m_settings->setValue(kSplitter, window.Splitter()->saveState());
    KeepChoices(TakeDeskChoices(dialog));
}

void CDeskSettings::KeepChoices(const SDeskChoices& choices) {
    WriteDeskChoices(*this, choices);
}

SDeskChoices CDeskSettings::Choices() const {
    return ReadDeskChoices(*this);
}

std::string CDeskSettings::Value(const std::string& key) const {
    return m_settings->value(QString::fromStdString(key)).toString().toStdString();
}

void CDeskSettings::SetValue(const std::string& key, const std::string& value) {
    m_settings->setValue(QString::fromStdString(key), QString::fromStdString(value));
}

void CDeskSettings::Remove(const std::string& key) {
    m_settings->remove(QString::fromStdString(key));
}

QString CDeskSettings::Folder(const QString& kind) const {
    return m_settings->value(kFolders + kind).toString();
}

void CDeskSettings::KeepFolder(const QString& kind, const QString& folder) {
    m_settings->setValue(kFolders + kind, folder);
}

bool CDeskSettings::Save() {
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError) {
        std::fprintf(stderr, "sondrix: cannot write the settings file %s\n",
                     qPrintable(m_settings->fileName()));
        return false;
    }
    return true;
}

}  // namespace sondrix
