#include "qt/main_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/sondrix_dlg.h"
#include "qt/control_binder.h"
#include "qt/header_picture.h"
#include "qt/icons.h"
#include "qt/list_view.h"
#include "qt/model_dialog.h"
#include "qt/page_view.h"
#include "ui/strings.h"

namespace sondrix {

namespace {

// The compact layout for small screens: the whole window in the top-left
// corner at this size.
constexpr QSize kCompactSize(615, 570);
constexpr QSize kMinimumSize(600, 480);

// A page in a window too small for it scrolls instead of squeezing; in a
// window of its own size it asks for all of it.
class CPageScrollArea : public QScrollArea {
  public:
    explicit CPageScrollArea(QWidget* page) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(page);
    }
    QSize sizeHint() const override { return widget()->sizeHint(); }
};

}  // namespace

CMainWindow::CMainWindow(CSondrixDlg& dialog, QWidget* parent)
    : QMainWindow(parent), m_dialog(dialog) {
    setWindowTitle(QString::fromStdString(dialog.Caption()));
    setWindowIcon(AppIcon());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 6);

    m_header = new CHeaderPicture(QString::fromStdString(dialog.Caption()), central);
    layout->addWidget(m_header);

    m_tabs = new QTabWidget(central);
    m_tabs->setIconSize(QSize(16, 16));
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        m_pages[static_cast<size_t>(tab)] = new CPageView(dialog.Page(tab));
        m_tabs->addTab(new CPageScrollArea(m_pages[static_cast<size_t>(tab)]), TabIcon(tab),
                       QString());
    }
    layout->addWidget(m_tabs, 1);

    m_tracer = new CListView(dialog.List(CSondrixDlg::kTracer), CListView::EStyle::Tracer, central);
    m_tracer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(m_tracer);

    auto* bottom = new QHBoxLayout;
    m_messageLine = new QLineEdit(central);
    m_pktClear = new QPushButton(central);
    bottom->addWidget(m_messageLine, 1);
    bottom->addWidget(m_pktClear);
    layout->addLayout(bottom);
    setCentralWidget(central);

    m_about = menuBar()->addAction(QString::fromStdString(LoadString(IDS_ABOUT_MENU)));
    connect(m_about, &QAction::triggered, this, &CMainWindow::ShowAboutBox);
    m_saveTrace = menuBar()->addAction(QStringLiteral("Save trace..."));
    connect(m_saveTrace, &QAction::triggered, this, &CMainWindow::SaveTraceFile);

    // Bound last: every widget exists when the first refresh reads them.
    m_binder = new CControlBinder(dialog, central, this);
    m_binder->Bind(CSondrixDlg::kHeader, m_header);
    m_binder->Bind(CSondrixDlg::kTabs, m_tabs->tabBar());
    m_binder->Bind(CSondrixDlg::kTracer, m_tracer);
    m_binder->Bind(CSondrixDlg::kMessageLine, m_messageLine);
    m_binder->Bind(CSondrixDlg::kPktClear, m_pktClear);
    m_binder->Refresh(0);

    setMinimumSize(kMinimumSize);
    if (dialog.smallScreen != 0) {
        resize(kCompactSize);
        move(0, 0);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(sizeHint().boundedTo(screen->availableGeometry().size()));
    }
}

CPageView* CMainWindow::PageView(int tab) const {
    if (tab < 0 || tab >= CSondrixDlg::kTabCount) {
        return nullptr;
    }
    return m_pages[static_cast<size_t>(tab)];
}

void CMainWindow::ShowAboutBox() {
    const CAboutDlg::CAboutBox aboutBox(m_dialog.aboutDlg);
    CModelDialog box(m_dialog.Page(CSondrixDlg::kTabAbout), font(), this);
    box.RunModal();
}

void CMainWindow::SaveTraceFile() {
    m_dialog.traceSaveDlg.Run();
}

}  // namespace sondrix
