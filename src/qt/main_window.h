#pragma once

#include <QMainWindow>
#include <array>

class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;

namespace sondrix {

class CControlBinder;
class CHeaderPicture;
class CListView;
class CPageView;
class CSondrixDlg;

// The main window: the header picture, the six tab pages and the packet
// tracer (sharing the height through a splitter), the message line and
// "Pkt Clear", and the File, View and Help menus. A tab the person picks
// goes to the main dialog, whose guards decide which tab is shown. The
// window must not outlive the dialog.
class CMainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainWindow(CSondrixDlg& dialog, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    CPageView* PageView(int tab) const;
    CListView* TracerView() const { return m_tracer; }
    QSplitter* Splitter() const { return m_splitter; }
    QLineEdit* MessageLine() const { return m_messageLine; }
    QPushButton* PktClearButton() const { return m_pktClear; }
    CHeaderPicture* Header() const { return m_header; }
    QMenu* ViewMenu() const { return m_viewMenu; }
    QAction* AboutAction() const { return m_about; }
    QAction* SaveTraceAction() const { return m_saveTrace; }
    QAction* QuitAction() const { return m_quit; }
    QAction* TracerAction() const { return m_showTracer; }

    // Puts `widget` in a tab beside the packet tracer, under the pages, and
    // brings it forward: for a part that has no room beside the window on a
    // small screen (the simulated module's panel), so that it takes no
    // height from the pages and covers nothing. Returns the action that
    // brings the tab forward again.
    QAction* AddBesideTracer(QWidget* widget, const QString& title);
    // The tabs under the pages once something was put beside the tracer.
    QTabWidget* LowerTabs() const { return m_lower; }
    // The narrowest the window can be with no page scrolling sideways, with
    // what is docked beside it at its own size.
    int WidthWithoutScrolling() const;

    // Sizes the window for a screen whose free area (without its panels) is
    // `available`, leaving room for the window manager's frame: the compact
    // window in the corner of a small screen, else the natural size as far
    // as it fits, without the header picture when the screen is too short
    // for it. The pages get the height they need and the tracer the rest.
    void FitToScreen(const QRect& available);
    // The room a window manager's title bar and borders take around the
    // window, until the real frame is known.
    static QMargins FrameAllowance();

    // Shows the About page in a modal box until the person closes it.
    void ShowAboutBox();
    // Asks whether the raw line goes with them and where to, then saves the
    // tracer's packets as pcapng (and text beside it) or, for a .txt name, as
    // text.
    void SaveTraceFile();

  signals:
    // The window is about to close, still as the person left it.
    void closing();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void MakeMenus();
    void MakeTabKeys();
    void ShowHeaderRow(bool shown);
    // The size that shows the tallest page and the tracer's usual rows.
    QSize NaturalSize() const;
    void BalanceSplitter();
    // What shares the height with the pages: the tracer, or the tabs that
    // hold it beside other parts.
    QWidget* LowerPane() const;
    int LowerMinimum() const;

    CSondrixDlg& m_dialog;
    QWidget* m_headerRow;
    CHeaderPicture* m_header;
    QSplitter* m_splitter;
    QTabWidget* m_tabs;
    std::array<CPageView*, 6> m_pages{};
    CListView* m_tracer;
    QTabWidget* m_lower = nullptr;
    QLineEdit* m_messageLine;
    QPushButton* m_pktClear;
    QMenu* m_viewMenu = nullptr;
    QAction* m_about = nullptr;
    QAction* m_saveTrace = nullptr;
    QAction* m_quit = nullptr;
    QAction* m_showTracer = nullptr;
    CControlBinder* m_binder;
};

}  // namespace sondrix
