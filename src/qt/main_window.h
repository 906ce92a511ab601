#pragma once

#include <QMainWindow>
#include <array>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace sondrix {

class CControlBinder;
class CHeaderPicture;
class CListView;
class CPageView;
class CSondrixDlg;

// The main window: the header picture, the six tab pages, the packet
// tracer, the message line and "Pkt Clear", and "About Sondrix..." in the
// menu bar. A tab the person picks goes to the main dialog, whose guards
// decide which tab is shown. The window must not outlive the dialog.
class CMainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainWindow(CSondrixDlg& dialog, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    CPageView* PageView(int tab) const;
    CListView* TracerView() const { return m_tracer; }
    QLineEdit* MessageLine() const { return m_messageLine; }
    QPushButton* PktClearButton() const { return m_pktClear; }
    CHeaderPicture* Header() const { return m_header; }
    QAction* AboutAction() const { return m_about; }
    QAction* SaveTraceAction() const { return m_saveTrace; }

    // Shows the About page in a modal box until the person closes it.
    void ShowAboutBox();
    // Asks whether the raw line goes with them and where to, then saves the
    // tracer's packets as pcapng (and text beside it) or, for a .txt name, as
    // text.
    void SaveTraceFile();

  private:
    CSondrixDlg& m_dialog;
    CHeaderPicture* m_header;
    QTabWidget* m_tabs;
    std::array<CPageView*, 6> m_pages{};
    CListView* m_tracer;
    QLineEdit* m_messageLine;
    QPushButton* m_pktClear;
    QAction* m_about;
    QAction* m_saveTrace;
    CControlBinder* m_binder;
};

}  // namespace sondrix
