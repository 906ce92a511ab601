#include "qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/sondrix_dlg.h"
#include "qt/control_binder.h"
#include "qt/header_picture.h"
#include "qt/icons.h"
#include "qt/list_view.h"
#include "qt/model_dialog.h"
#include "qt/page_view.h"
#include "ui/page_layout.h"
#include "ui/strings.h"

namespace sondrix {

namespace {

// The compact layout for small screens: the whole window in the top-left
// corner at this size.
constexpr QSize kCompactSize(615, 570);
constexpr QSize kMinimumSize(600, 480);
// The tracer never gets smaller than its header and this many rows.
constexpr int kTracerMinimumRows = 3;

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

    // The dialog shows or hides the picture itself; the row around it goes
    // when the screen is too short to spare its height.
    m_headerRow = new QWidget(central);
    auto* headerLayout = new QVBoxLayout(m_headerRow);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    m_header = new CHeaderPicture(QString::fromStdString(dialog.Caption()), m_headerRow);
    headerLayout->addWidget(m_header);
    layout->addWidget(m_headerRow);

    m_splitter = new QSplitter(Qt::Vertical, central);
    m_splitter->setObjectName(QStringLiteral("pagesAndTracer"));
    m_splitter->setChildrenCollapsible(false);
    m_tabs = new QTabWidget(m_splitter);
    m_tabs->setIconSize(QSize(16, 16));
    // A click on a tab header takes the focus, so that the arrow keys go on
    // from the tab chosen.
    m_tabs->tabBar()->setFocusPolicy(Qt::StrongFocus);
    for (int tab = 0; tab < CSondrixDlg::kTabCount; ++tab) {
        m_pages[static_cast<size_t>(tab)] = new CPageView(dialog.Page(tab));
        m_tabs->addTab(new CPageScrollArea(m_pages[static_cast<size_t>(tab)]), TabIcon(tab),
                       QString());
    }
    m_tracer =
        new CListView(dialog.List(CSondrixDlg::kTracer), CListView::EStyle::Tracer, m_splitter);
    m_tracer->setMinimumHeight(m_tracer->RowsHeight(kTracerMinimumRows));
    m_splitter->addWidget(m_tabs);
    m_splitter->addWidget(m_tracer);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    layout->addWidget(m_splitter, 1);

    auto* bottom = new QHBoxLayout;
    m_messageLine = new QLineEdit(central);
    m_pktClear = new QPushButton(central);
    bottom->addWidget(m_messageLine, 1);
    bottom->addWidget(m_pktClear);
    layout->addLayout(bottom);
    setCentralWidget(central);

    MakeMenus();
    MakeTabKeys();

    // Bound last: every widget exists when the first refresh reads them.
    m_binder = new CControlBinder(dialog, central, this);
    m_binder->Bind(CSondrixDlg::kHeader, m_header);
    m_binder->Bind(CSondrixDlg::kTabs, m_tabs->tabBar());
    m_binder->Bind(CSondrixDlg::kTracer, m_tracer);
    m_binder->Bind(CSondrixDlg::kMessageLine, m_messageLine);
    m_binder->Bind(CSondrixDlg::kPktClear, m_pktClear);
    m_binder->Refresh(0);

    setMinimumSize(kMinimumSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        FitToScreen(screen->availableGeometry());
    }
}

void CMainWindow::MakeMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    m_saveTrace = file->addAction(QStringLiteral("&Save trace..."));
    m_saveTrace->setShortcut(QKeySequence::Save);
    connect(m_saveTrace, &QAction::triggered, this, &CMainWindow::SaveTraceFile);
    file->addSeparator();
    m_quit = file->addAction(QStringLiteral("&Quit"));
    m_quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_quit->setMenuRole(QAction::QuitRole);
    connect(m_quit, &QAction::triggered, this, &QWidget::close);

    m_viewMenu = menuBar()->addMenu(QStringLiteral("&View"));
    m_showTracer = m_viewMenu->addAction(QStringLiteral("Packet &tracer"));
    m_showTracer->setCheckable(true);
    m_showTracer->setChecked(true);
    connect(m_showTracer, &QAction::toggled, this, [this](bool shown) {
        if (m_lower != nullptr) {
            m_lower->setTabVisible(m_lower->indexOf(m_tracer), shown);
        } else {
            m_tracer->setVisible(shown);
        }
    });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    m_about = help->addAction(QString::fromStdString(LoadString(IDS_ABOUT_MENU)));
    m_about->setMenuRole(QAction::AboutRole);
    connect(m_about, &QAction::triggered, this, &CMainWindow::ShowAboutBox);
}

void CMainWindow::MakeTabKeys() {
    // Ctrl+Tab and Ctrl+Shift+Tab change the tab from anywhere in the window
    // (Qt's own only work with the focus inside the tabs, not in the
    // tracer); the dialog's guards decide as for a click.
    const auto step = [this](int by) {
        const int count = m_tabs->count();
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + by + count) % count);
    };
    auto* next = new QShortcut(QKeySequence::NextChild, this);
    connect(next, &QShortcut::activated, this, [step] { step(1); });
    auto* previous = new QShortcut(QKeySequence::PreviousChild, this);
    connect(previous, &QShortcut::activated, this, [step] { step(-1); });
}

QMargins CMainWindow::FrameAllowance() {
    // A title bar of about two lines of text and thin borders.
    const int title = QFontMetrics(QApplication::font()).height() * 2;
    return {4, title + 4, 4, 4};
}

void CMainWindow::FitToScreen(const QRect& available) {
    const QMargins frame = FrameAllowance();
    const QSize room = available.marginsRemoved(frame).size();
    if (m_dialog.smallScreen != 0) {
        // The dialog hid the header; the pages scroll.
        resize(kCompactSize.boundedTo(room));
        move(available.topLeft());
        BalanceSplitter();
        return;
    }
    // The header goes first when the screen is short, by the rule both
    // windows share: the pages and a tracer of a few rows matter more.
    ShowHeaderRow(true);
    const QSize natural = NaturalSize();
    SWindowParts parts;
    parts.header = m_headerRow->sizeHint().height() + centralWidget()->layout()->spacing();
    parts.pages = {natural.width(), m_tabs->sizeHint().height()};
    parts.tracer = m_tracer->sizeHint().height();
    parts.tracerMinimum = m_tracer->minimumHeight();
    parts.chrome = natural.height() - parts.header - parts.pages.height - parts.tracer;
    const SWindowFit fit = FitWindow(parts, {room.width(), room.height()}, false, {});
    ShowHeaderRow(fit.showHeader);
    resize(NaturalSize().boundedTo(room));
    BalanceSplitter();
}

void CMainWindow::ShowHeaderRow(bool shown) {
    m_headerRow->setVisible(shown);
    // The layouts learn of it only later; the sizes are needed now.
    centralWidget()->layout()->invalidate();
    centralWidget()->updateGeometry();
    layout()->invalidate();
}

QSize CMainWindow::NaturalSize() const {
    // The splitter's own hint does not add up its parts.
    const int splitter =
        m_tabs->sizeHint().height() + m_splitter->handleWidth() + LowerPane()->sizeHint().height();
    const QSize hint = sizeHint();
    return {hint.width(), hint.height() - m_splitter->sizeHint().height() + splitter};
}

void CMainWindow::BalanceSplitter() {
    // The layouts of a window not yet shown settle only when asked.
    layout()->activate();
    centralWidget()->layout()->activate();
    const int total = m_splitter->height() - m_splitter->handleWidth();
    const int pages = PagesShare(total, m_tabs->sizeHint().height(), LowerMinimum());
    m_splitter->setSizes({pages, total - pages});
}

QWidget* CMainWindow::LowerPane() const {
    return m_lower != nullptr ? static_cast<QWidget*>(m_lower) : m_tracer;
}

int CMainWindow::LowerMinimum() const {
    // The tracer's own rows, and the tab bar above them when it has one.
    const int bar = m_lower != nullptr ? m_lower->tabBar()->sizeHint().height() : 0;
    return m_tracer->minimumHeight() + bar;
}

int CMainWindow::WidthWithoutScrolling() const {
    // The widest page sets the window's width; squeezed, a page gives up
    // no more than its minimum.
    int hint = 0;
    int least = 0;
    for (const CPageView* page : m_pages) {
        hint = std::max(hint, page->sizeHint().width());
        least = std::max(least, page->minimumSizeHint().width());
    }
    return sizeHint().width() - hint + least;
}

QAction* CMainWindow::AddBesideTracer(QWidget* widget, const QString& title) {
    if (m_lower == nullptr) {
        m_lower = new QTabWidget;
        m_lower->setObjectName(QStringLiteral("tracerAndParts"));
        m_lower->setDocumentMode(true);
        m_splitter->replaceWidget(m_splitter->indexOf(m_tracer), m_lower);
        m_lower->addTab(m_tracer, QStringLiteral("Packet tracer"));
        m_splitter->setStretchFactor(1, 0);
    }
    // A part taller than the strip scrolls inside it.
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(widget);
    m_lower->setCurrentIndex(m_lower->addTab(area, title));
    auto* show = new QAction(title, this);
    connect(show, &QAction::triggered, this, [this, area] { m_lower->setCurrentWidget(area); });
    return show;
}

void CMainWindow::closeEvent(QCloseEvent* event) {
    emit closing();
    QMainWindow::closeEvent(event);
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
