// See frmRukasu.h.
#include "shell/frmRukasu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "engine/Libraries.h"
#include "engine/PathHelpers.h"
#include "results/mdiOutFile.h"
#include "results/mdiStatus.h"
#include "settings/Settings.h"
#include "settings/SettingsRemoval.h"
#include "settings/SettingsStore.h"
#include "dialogs/basMkdir.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmDefault.h"
#include "dialogs/frmMenuMente.h"
#include "dialogs/frmOption.h"
#include "ui/AppContext.h"
#include "shell/BatchRun.h"
#include "shell/CommandLine.h"
#include "ui/CommonMenu.h"
#include "ui/FlowLayout.h"
#include "ui/FontDialog.h"
#include "shell/HelpViewer.h"
#include "shell/MainPlacement.h"
#include "ui/MessageBox.h"
#include "ui/PaneHost.h"
#include "shell/RunNotice.h"
#include "shell/SettingsNotice.h"
#include "ui/Twips.h"
#include "ui/WindowFont.h"
#include "source/mdiDir.h"
#include "source/mdiFile.h"
#include "source/mdiInFile.h"
#include "text/MessageCatalogue.h"

namespace {

// The strip's design in twips: buttons of at least 1335 x 375, 105 apart, 120
// in from the left, top and bottom edges, Cancel 60 in from the right edge.
constexpr int kButtonEdge = 120, kCancelEdge = 60, kButtonWidth = 1335, kButtonHeight = 375, kButtonGap = 105;
// The run buttons' captions and tool tips, in RunMode order.
constexpr ProductMsg kRunCaptions[4] = {ProductMsg::RunOkavi, ProductMsg::RunNormal, ProductMsg::RunNoDigits,
                                        ProductMsg::RunFileN};
constexpr ProductMsg kRunTips[4] = {ProductMsg::RunOkaviTip, ProductMsg::RunNormalTip, ProductMsg::RunNoDigitsTip,
                                    ProductMsg::RunFileNTip};
// Pixels of a window manager's usual border.
constexpr int kLikelyBorder = 4;
// The inner area of the main window at its default size of 8000 x 8000.
constexpr int kDefaultInnerWidth = 7880, kDefaultInnerHeight = 6600;

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// The menu bar shows the state of the active pane's common menu, as if each
// pane carried its own menu bar.
void CommonMenuStateFrom(CommonMenu& target, const CommonMenu& source) {
  for (int i = 0; i < CommonMenu::kEntryCount; ++i)
    target.action(CommonMenu::Entry(i))->setEnabled(source.isEnabled(CommonMenu::Entry(i)));
}

// The controls inside `container` that Tab stops at, in the window's Tab order.
QList<QWidget*> TabStops(QWidget* container) {
  QList<QWidget*> stops;
  for (QWidget* w = container->nextInFocusChain(); w && w != container; w = w->nextInFocusChain()) {
    if (container->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
        w->isVisibleTo(container) && !w->focusProxy())
      stops << w;
  }
  return stops;
}

// The key a button answers to, as its tool tip names it.
QString WithKey(const QString& tip, const QKeySequence& key) {
  return tip + QStringLiteral("（%1）").arg(key.toString(QKeySequence::PortableText));
}

QKeySequence RunKey(int index) { return QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + index)); }
QKeySequence CancelKey() { return QKeySequence(Qt::Key_Escape); }

}  // namespace

frmRukasu::frmRukasu(AppContext& context) : m_context(context) {
  m_context.windows.main = this;
  buildWindow();
  BatchRun::Controls controls;
  controls.setRunButtonsEnabled = [this](bool on) {
    for (QPushButton* b : btnExe) b->setEnabled(on);
  };
  controls.setCancelEnabled = [this](bool on) { setCancelEnabled(on); };
  controls.btnEnabledChange = [this] { BtnEnabledChange(); };
  m_batch = std::make_unique<BatchRun>(m_context, controls);
  connect(m_batch.get(), &BatchRun::archiveStarted, this, &frmRukasu::showProgress);
  connect(m_batch.get(), &BatchRun::progress, this, &frmRukasu::showBytes);
  connect(m_batch.get(), &BatchRun::finished, this, &frmRukasu::runFinished);
}

// After a normal close every window is gone already. Otherwise the program
// ends from start-up (a load failure, the automatic run, the removal switch),
// and then no window may save anything: the windows are dropped unheard.
frmRukasu::~frmRukasu() {
  unloadPanes(true, false);
  if (m_context.windows.main == this) m_context.windows.main = nullptr;
}

void frmRukasu::buildWindow() {
  setObjectName(QStringLiteral("frmRukasu"));
  // Captions, menus and the status line keep the platform's font, with
  // Japanese glyphs of one design; the settings font goes to the listed controls.
  setFont(WithJapaneseFallback(font()));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  pnlRukasu = new QWidget(central);
  pnlRukasu->setObjectName(QStringLiteral("pnlRukasu"));
  // The run buttons wrap onto a second row rather than run under Cancel when a
  // large font makes them wider than the window.
  auto* strip = new QHBoxLayout(pnlRukasu);
  strip->setContentsMargins(TwipsToPx(kButtonEdge), TwipsToPx(kButtonEdge), TwipsToPx(kCancelEdge),
                            TwipsToPx(kButtonEdge));
  strip->setSpacing(TwipsToPx(kButtonGap));
  auto* runButtons = new FlowLayout(nullptr, TwipsToPx(kButtonGap));
  const QSize minimum(TwipsToPx(kButtonWidth), TwipsToPx(kButtonHeight));
  for (int i = 0; i < 4; ++i) {
    btnExe[i] = new QPushButton(pnlRukasu);
    btnExe[i]->setObjectName(QStringLiteral("btnExe(%1)").arg(i));
    btnExe[i]->setMinimumSize(minimum);
    runButtons->addWidget(btnExe[i]);
    connect(btnExe[i], &QPushButton::clicked, this, [this, i] { btnExe_Click(i); });
  }
  btnCancel = new QPushButton(pnlRukasu);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setMinimumSize(minimum);
  connect(btnCancel, &QPushButton::clicked, this, &frmRukasu::btnCancel_Click);
  strip->addLayout(runButtons, 1);
  strip->addWidget(btnCancel, 0, Qt::AlignTop);
  layout->addWidget(pnlRukasu);
  m_mdi = new QMdiArea(central);
  m_mdi->setObjectName(QStringLiteral("mdiArea"));
  m_mdi->installEventFilter(this);
  layout->addWidget(m_mdi, 1);
  setCentralWidget(central);

  // Ctrl+Tab and Ctrl+Shift+Tab go from pane to pane in their fixed order
  // (Qt's own Ctrl+Tab only toggles between the last two panes).
  auto* nextPane = new QAction(this);
  nextPane->setObjectName(QStringLiteral("nextPane"));
  nextPane->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
  connect(nextPane, &QAction::triggered, m_mdi, &QMdiArea::activateNextSubWindow);
  auto* previousPane = new QAction(this);
  previousPane->setObjectName(QStringLiteral("previousPane"));
  previousPane->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
  connect(previousPane, &QAction::triggered, m_mdi, &QMdiArea::activatePreviousSubWindow);
  // Escape cancels at once; as the button's own key it would click only after
  // the pressed look had shown, when the next archive may have begun.
  m_cancelKey = new QAction(this);
  m_cancelKey->setObjectName(QStringLiteral("cancelKey"));
  m_cancelKey->setShortcut(CancelKey());
  m_cancelKey->setEnabled(false);
  connect(m_cancelKey, &QAction::triggered, this, &frmRukasu::btnCancel_Click);
  addActions({nextPane, previousPane, m_cancelKey});

  m_menu = new CommonMenu(m_context, this);
  m_menu->addTo(menuBar());
  connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { followActivePane(); });

  m_progressText = new QLabel(this);
  m_progressText->setObjectName(QStringLiteral("progressText"));
  m_progressBar = new QProgressBar(this);
  m_progressBar->setObjectName(QStringLiteral("progressBar"));
  m_progressBar->setRange(0, 1000);
  m_progressBar->setMaximumWidth(240);
  statusBar()->addWidget(m_progressText, 1);
  statusBar()->addPermanentWidget(m_progressBar);
  m_progressBar->hide();
}

// The current sub-window stays current while another program is active;
// with none (before the panes show), the source folder pane stands for all.
void frmRukasu::followActivePane() {
  QMdiSubWindow* current = m_mdi->currentSubWindow();
  auto* pane = current ? qobject_cast<PaneBase*>(current->widget()) : nullptr;
  if (!pane) pane = m_inDir;
  if (pane) CommonMenuStateFrom(*m_menu, pane->commonMenu());
}

frmRukasu::Start frmRukasu::MDIForm_Load(const QStringList& names, int* exitCode) {
  auto end = [exitCode](int code) {
    if (exitCode) *exitCode = code;
    return Start::EndProgram;
  };
  if (IsRemovalSwitch(names)) return end(RunRemovalSwitch(m_context.store) ? 0 : 1);
  LoadSettings(m_context.settings, m_context.store);
  Dll_Check(m_context.libraries);
  if (!names.isEmpty() && (m_context.settings.Auto || m_autoRequest.forced)) {
    if (AutoRun(names)) return end(m_autoStatus);
    // A run forced from the command line opens no window: there may be no display.
    if (m_autoRequest.forced) return end(1);
  }
  m_context.AutoRunning = false;

  setWindowTitle(MessageCatalogue::Product(ProductMsg::MainCaption));
  for (int i = 0; i < 4; ++i) btnExe[i]->setText(MessageCatalogue::Product(kRunCaptions[i]));
  btnCancel->setText(MessageCatalogue::Shared(SharedMsg::Cancel));
  // After the captions, which replace a button's key with their own (none).
  for (int i = 0; i < 4; ++i) btnExe[i]->setShortcut(RunKey(i));
  SetToolTip(m_context.settings.Tip);
  if (!loadWindows()) {
    ShowLoadFailure(this, m_loadFailure, m_context.store);
    return end(1);
  }
  SetFontData();
  RestoreMainPlacement(*this, m_context.store, m_placement, leastTiledHeight(TwipsToPx(kDefaultInnerWidth)));
  TellSettingsFaults(this, m_context.store);
  m_batch->clearCancelFlag();
  setCancelEnabled(false);
  m_inFile->Pattern_Make();
  m_status->RefreshForm();
  if (!names.isEmpty()) ParseCommandLine(names, *m_file);
  m_activatedOnce = false;
  return Start::ShowWindow;
}

bool frmRukasu::AutoRun(const QStringList& names) {
  m_context.AutoRunning = true;
  bool ran = false;
  if (loadPanes()) {
    m_batch->clearCancelFlag();
    m_inFile->Pattern_Make();
    if (!m_autoRequest.dest.isEmpty()) m_outDir->setDirName(m_autoRequest.dest);
    QStringList skipped;
    ParseCommandLine(names, *m_file, &skipped);
    if (m_file->count() > 0) {
      m_batch->setLogEcho(m_autoRequest.echo);
      const BatchRun::Outcome outcome =
          m_batch->AutoBatch(m_autoRequest.mode.value_or(m_context.settings.AutoExe), m_autoRequest.here, skipped);
      m_batch->setLogEcho(nullptr);
      m_autoStatus = outcome == BatchRun::Outcome::Stopped ? 2 : outcome == BatchRun::Outcome::SomeFailed ? 1 : 0;
      if (m_context.settings.AutoLog) m_status->LogCopy();
      ran = true;
    }
  }
  unloadPanes(false, true);
  return ran;
}

// A pane's sub-window has no close button and ignores every close (eventFilter):
// a closed pane would be lost for the rest of the session. It starts on its
// tile of the main window's default size, the place it keeps when Resize is
// off and no placement of its own is stored yet.
QMdiSubWindow* frmRukasu::host(PaneBase* pane, int slot) {
  auto* sub = new PaneHost([this](bool next) { return tabThroughWindow(next); });
  sub->setWidget(pane);
  m_mdi->addSubWindow(sub);
  sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  sub->installEventFilter(this);
  const QSize tile = TileSize(TwipsToPx(kDefaultInnerWidth), TwipsToPx(kDefaultInnerHeight));
  sub->setGeometry(QRect(QPoint(slot / 3 * tile.width(), slot % 3 * tile.height()), tile));
  sub->hide();  // shown in order at the first activation
  connect(&pane->commonMenu(), &CommonMenu::enabledChanged, this, &frmRukasu::followActivePane);
  return sub;
}

bool frmRukasu::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close && qobject_cast<QMdiSubWindow*>(watched)) {
    event->ignore();
    return true;
  }
  // Qt parks a minimised pane at the bottom of the area, over the target
  // list's buttons; with tiling it stays at the top of its own tile.
  if (event->type() == QEvent::WindowStateChange && m_context.settings.Resize) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(watched); sub && sub->isMinimized())
      QTimer::singleShot(0, sub, [this, sub] {
        if (sub->isMinimized()) sub->move(tileOrigin(sub));
      });
  }
  // The area changes size also when the strip above it grows or shrinks
  // with the font, which the main window's own resize does not see.
  if (event->type() == QEvent::Resize && watched == m_mdi) MDIForm_Resize();
  return QMainWindow::eventFilter(watched, event);
}

// The six panes, in the order of loading. All exist before the first loads:
// loading the source folder pane already names its folder to the source file
// pane. A failure leaves its report in m_loadFailure.
bool frmRukasu::loadPanes() {
  AppWindows& w = m_context.windows;
  w.inDir = m_inDir = new mdiDir(m_context, FolderPaneRole::Source);
  w.inFile = m_inFile = new mdiInFile(m_context);
  w.file = m_file = new mdiFile(m_context);
  w.outDir = m_outDir = new mdiDir(m_context, FolderPaneRole::Destination);
  w.status = m_status = new mdiStatus(m_context);
  w.outFile = m_outFile = new mdiOutFile(m_context);
  if (!m_context.AutoRunning) {
    int slot = 0;
    for (PaneBase* pane : std::initializer_list<PaneBase*>{m_inDir, m_inFile, m_file, m_outDir, m_status, m_outFile})
      host(pane, slot++);
  }

  const std::pair<std::function<bool()>, QString> loads[] = {
      {[this] { return m_inDir->Form_Load(); }, m_inDir->loadErrorText()},
      {[this] { return m_inFile->Form_Load(); }, mdiInFile::loadErrorText()},
      {[this] { return m_file->Form_Load(); }, QStringLiteral("Rukasu2 mdiFile Form_Load ERR")},
      {[this] { return m_outDir->Form_Load(); }, m_outDir->loadErrorText()},
      {[this] { return m_status->Form_Load(); }, QStringLiteral("Rukasu2 mdiStatus Form_Load ERR")},
      {[this] { return m_outFile->Form_Load(); }, QStringLiteral("Rukasu2 mdiOutFile Form_Load ERR")},
  };
  for (const auto& [load, failure] : loads) {
    if (!load()) {
      m_loadFailure = failure;
      return false;
    }
  }
  return true;
}

bool frmRukasu::loadWindows() {
  if (!loadPanes()) return false;
  AppWindows& w = m_context.windows;
  m_about = new frmAbout(m_context, this);
  w.about = m_about;
  m_default = new frmDefault(m_context, this);
  w.defaults = m_default;
  m_option = new frmOption(m_context, this);
  w.option = m_option;
  m_menuMente = new frmMenuMente(m_context, this);
  w.menuMente = m_menuMente;
  const std::pair<std::function<bool()>, QString> loads[] = {
      {[this] { return m_about->Form_Load(); }, QString()},  // the about box handles its own failures
      {[this] { return m_default->Form_Load(); }, QStringLiteral("Rukasu2 frmDefault Form_Load ERR")},
      {[this] { return m_option->Form_Load(); }, QStringLiteral("Rukasu2 frmOption Form_Load ERR")},
      {[this] { return m_menuMente->Form_Load(); }, frmMenuMente::loadErrorText()},
  };
  for (const auto& [load, failure] : loads) {
    if (!load() && !failure.isEmpty()) {
      m_loadFailure = failure;
      return false;
    }
  }
  return true;
}

// Unloads in the closing order; with closeHandling each window saves its own
// keys (nothing while the automatic run is under way). The destination pane
// goes last: the others may still read its folder while they close.
void frmRukasu::unloadPanes(bool withDialogs, bool closeHandling) {
  AppWindows& w = m_context.windows;
  auto drop = [this, closeHandling](auto*& window, auto& slot, auto unload) {
    if (!window) return;
    if (closeHandling) unload(window);
    slot = nullptr;
    if (QWidget* sub = window->parentWidget(); sub && qobject_cast<QMdiSubWindow*>(sub))
      delete sub;
    else
      delete window;
    window = nullptr;
  };
  drop(m_inDir, w.inDir, [](mdiDir* p) { p->Form_Unload(); });
  drop(m_inFile, w.inFile, [](mdiInFile* p) { p->Form_Unload(); });
  drop(m_file, w.file, [](mdiFile* p) { p->Form_Unload(); });
  drop(m_status, w.status, [](mdiStatus* p) { p->Form_Unload(); });
  drop(m_outFile, w.outFile, [](mdiOutFile* p) { p->Form_Unload(); });
  if (withDialogs) {
    drop(m_about, w.about, [](frmAbout* d) { d->Form_Unload(); });
    drop(m_default, w.defaults, [](frmDefault* d) { d->Form_Unload(); });
    drop(m_option, w.option, [](frmOption* d) { d->Form_Unload(); });
    drop(m_menuMente, w.menuMente, [](frmMenuMente* d) { d->Form_Unload(); });
  }
  drop(m_outDir, w.outDir, [](mdiDir* p) { p->Form_Unload(); });
}

void frmRukasu::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!m_activatedOnce) MDIForm_Activate();
}

void frmRukasu::MDIForm_Activate() {
  m_activatedOnce = true;
  MDIForm_Resize();
  for (PaneBase* pane : std::initializer_list<PaneBase*>{m_inDir, m_inFile, m_file, m_outDir, m_status, m_outFile})
    if (pane && pane->parentWidget()) pane->parentWidget()->show();
  BtnEnabledChange();
  // The source folder pane is made the active sub-window, whichever one the
  // area activated while they were shown: the menu bar then shows its menu,
  // and the focus on its drive list stays when the window becomes active.
  if (m_inDir) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(m_inDir->parentWidget())) m_mdi->setActiveSubWindow(sub);
    m_inDir->focusDriveList();
  }
}

QSize frmRukasu::TileSize(int innerWidth, int innerHeight) {
  return {RoundHalfEven(innerWidth / 2.0), RoundHalfEven(innerHeight / 3.0)};
}

void frmRukasu::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  MDIForm_Resize();
}

void frmRukasu::MDIForm_Resize() {
  if (!m_context.settings.Resize) return;
  const PaneBase* panes[] = {m_inDir, m_inFile, m_file, m_outDir, m_status, m_outFile};
  // The tiles are no smaller than the largest pane needs at the present font
  // (the sub-window's own least size would also count its title's full length),
  // and as high as the largest needs at the tiles' width, where its buttons wrap.
  // The area without its scroll bars: were the tiles to follow them, a scroll
  // bar could make itself needed and unneeded in turn.
  const QSize inner = m_mdi->contentsRect().size();
  const QSize even = TileSize(inner.width(), inner.height());
  const QSize tile = even.expandedTo(leastTile(even.width()));
  // Scroll bars only where a pane needs more than its share: one shown for
  // nothing would narrow the area and so make itself needed.
  m_mdi->setHorizontalScrollBarPolicy(tile.width() > even.width() ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  m_mdi->setVerticalScrollBarPolicy(tile.height() > even.height() ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  m_tile = tile;
  for (const PaneBase* pane : panes) {
    QWidget* sub = pane ? pane->parentWidget() : nullptr;
    if (!sub) continue;
    // A maximised pane would be squeezed into its tile without its title
    // bar, a minimised one leave its tile empty: each is restored first.
    if (sub->isMinimized() || sub->isMaximized()) sub->showNormal();
    sub->setGeometry(QRect(tileOrigin(sub), tile));
  }
}

QSize frmRukasu::leastTile(int width) const {
  const PaneBase* panes[] = {m_inDir, m_inFile, m_file, m_outDir, m_status, m_outFile};
  // The sub-window's frame, known also before it is laid out.
  const int border = 2 * style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
  QSize tile(width, 0);
  for (const PaneBase* pane : panes)
    if (pane && pane->parentWidget()) tile.setWidth(std::max(tile.width(), pane->minimumSizeHint().width() + border));
  for (const PaneBase* pane : panes) {
    const QWidget* sub = pane ? pane->parentWidget() : nullptr;
    if (!sub) continue;
    const int chrome = sub->minimumSizeHint().height() - pane->minimumSizeHint().height();
    const QLayout* column = pane->layout();
    const int least = column && column->hasHeightForWidth() ? column->totalMinimumHeightForWidth(tile.width() - border)
                                                            : pane->minimumSizeHint().height();
    tile.setHeight(std::max(tile.height(), least + chrome));
  }
  return tile;
}

// The window's height at which the panes get their least tiles, for an inner
// width; its frame counted as a title bar and a border, as it is not known
// before the window is shown.
int frmRukasu::leastTiledHeight(int innerWidth) const {
  const int frame = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * kLikelyBorder;
  return frame + menuBar()->sizeHint().height() + pnlRukasu->layout()->totalHeightForWidth(innerWidth) +
         statusBar()->sizeHint().height() + 2 * m_mdi->frameWidth() +
         3 * leastTile(TileSize(innerWidth, 0).width()).height();
}

// Panes by columns of three; positions count from the area's scrolled origin.
QPoint frmRukasu::tileOrigin(const QWidget* sub) const {
  const PaneBase* panes[] = {m_inDir, m_inFile, m_file, m_outDir, m_status, m_outFile};
  int slot = 0;
  while (slot < 6 && !(panes[slot] && panes[slot]->parentWidget() == sub)) ++slot;
  const QPoint origin(-m_mdi->horizontalScrollBar()->value(), -m_mdi->verticalScrollBar()->value());
  return origin + QPoint(slot / 3 * m_tile.width(), slot % 3 * m_tile.height());
}

void frmRukasu::BtnEnabledChange() {
  // A pane that changes the target list during a run must not enable them.
  const bool any = !m_batch->isRunning() && m_file && m_file->count() > 0;
  for (QPushButton* b : btnExe) b->setEnabled(any);
}

int frmRukasu::windowStateValue() {
  if (windowState() & Qt::WindowMinimized) return 1;
  if (windowState() & Qt::WindowMaximized) return 2;
  return 0;
}

void frmRukasu::btnExe_Click(int index) {
  if (m_batch->isRunning()) return;
  m_batch->Interactive(static_cast<int16_t>(index));
}

// The archive under way is finished first, which can take a while: Cancel
// goes grey at once and the status line says what is to come.
void frmRukasu::btnCancel_Click() {
  m_batch->cancel();
  announceStop(ProductMsg::StoppingAfterThisArchive);
}

// Escape answers only while Cancel does, during a run: otherwise it stays
// with the lists and text boxes.
void frmRukasu::setCancelEnabled(bool on) {
  btnCancel->setEnabled(on);
  m_cancelKey->setEnabled(on);
}

void frmRukasu::announceStop(ProductMsg message) {
  setCancelEnabled(false);
  statusBar()->showMessage(MessageCatalogue::Product(message));
}

void frmRukasu::showProgress(int number, int count, const QString& archive) {
  // The path shortened as in the log's heading lines: the status line is narrow.
  m_progressText->setText(QStringLiteral("%1 / %2  %3").arg(number).arg(count).arg(DispPath_Get(archive)));
  m_progressBar->setValue(0);
  m_progressBar->show();
}

void frmRukasu::showBytes(qint64 done, qint64 total) {
  m_progressBar->setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
}

void frmRukasu::runFinished() {
  statusBar()->clearMessage();
  m_progressText->clear();
  m_progressBar->hide();
  // A long run that ends behind another window is told to the desktop.
  if (!isActiveWindow() && RunNotice::Deserved(m_batch->lastRun(), false)) RunNotice().showRun(m_batch->lastRun());
  // A close asked for during the run happens now that the archive is done.
  if (m_closeRequested) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void frmRukasu::closeEvent(QCloseEvent* event) {
  if (m_batch->isRunning()) {
    // Nothing is asked; the run stops after the archive being extracted.
    m_closeRequested = true;
    m_batch->cancel();
    announceStop(ProductMsg::StoppingAndQuittingAfterThisArchive);
    event->ignore();
    return;
  }
  if (m_closing) {
    event->accept();
    return;
  }
  m_closing = true;
  unloadPanes(true, true);
  m_batch->releaseWorker();
  SaveMainPlacement(windowStateValue(), m_context.store, m_placement);
  SaveSettings(m_context.settings, m_context.store);
  m_context.store.sync();
  TellSettingsFaults(this, m_context.store);
  event->accept();
}

void frmRukasu::SetFontData() {
  const QFont font = SettingsFont(m_context.settings);
  for (QPushButton* b : btnExe) ApplyFont(b, font);
  ApplyFont(btnCancel, font);
  // The strip's new height is known only once the layouts have run; the panes
  // are tiled again when the area below it takes its new size (eventFilter).
  pnlRukasu->layout()->activate();
  centralWidget()->layout()->activate();
  MDIForm_Resize();
}

void frmRukasu::SetToolTip(bool on) {
  for (int i = 0; i < 4; ++i)
    btnExe[i]->setToolTip(on ? WithKey(MessageCatalogue::Product(kRunTips[i]), RunKey(i)) : QString());
  btnCancel->setToolTip(on ? WithKey(MessageCatalogue::Shared(SharedMsg::CancelRunTip), CancelKey()) : QString());
}

// Tab runs through the controls of the current pane and then the enabled
// buttons of the strip, and round again; Shift+Tab the other way.
bool frmRukasu::tabThroughWindow(bool next) {
  QMdiSubWindow* current = m_mdi->currentSubWindow();
  if (!current || !current->widget()) return false;
  const QList<QWidget*> ring = TabStops(current->widget()) + TabStops(pnlRukasu);
  const qsizetype at = ring.indexOf(QApplication::focusWidget());
  if (at < 0) return false;
  const qsizetype to = (at + (next ? 1 : ring.size() - 1)) % ring.size();
  ring[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

bool frmRukasu::focusNextPrevChild(bool next) {
  return tabThroughWindow(next) || QMainWindow::focusNextPrevChild(next);
}

void frmRukasu::mnuExit_Click() { close(); }

void frmRukasu::mnuFont_Click() {
  const Settings& s = m_context.settings;
  const QFont shown = SettingsFont(s);
  QFont font = shown;
  bool chosen = false;
  if (chooseFont) {
    chosen = chooseFont(font);
  } else {
    chosen = AskFont(this, font);
  }
  if (!chosen) return;
  // The family is compared with the one the windows draw with, which stands
  // in for a stored name that is not installed: keeping it is no change, and
  // the stored name stays. The dialog's own size is compared: 10.5 differs
  // from 10 and refreshes every window, although the size stored is 10 again.
  const bool sameFamily = font.family() == shown.family();
  if (sameFamily && font.pointSizeF() == s.Font_Size && font.bold() == s.Font_Bold && font.italic() == s.Font_Italic)
    return;
  if (!sameFamily) m_context.settings.Font_Name = font.family();
  m_context.settings.Font_Size = static_cast<int16_t>(RoundHalfEven(LimitedFontSize(font.pointSizeF())));
  m_context.settings.Font_Bold = font.bold();
  m_context.settings.Font_Italic = font.italic();
  const AppWindows& w = m_context.windows;
  CommonWindowOps* windows[] = {this, w.inDir, w.inFile, w.file, w.outDir, w.status, w.outFile, w.about, w.defaults, w.option};
  for (CommonWindowOps* window : windows)
    if (window) window->SetFontData();
  // Tiled again once every pane has its new font and least size.
  MDIForm_Resize();
}

void frmRukasu::mnuLogCopy_Click() {
  if (m_status) m_status->LogCopy();
}

void frmRukasu::mnuLogSave_Click() {
  if (m_status) m_status->LogSave();
}

void frmRukasu::mnuInDirDefault_Click() {
  if (m_default) m_default->Edit(frmDefault::Use::InDir);
}

void frmRukasu::mnuOutDirDefault_Click() {
  if (m_default) m_default->Edit(frmDefault::Use::OutDir);
}

void frmRukasu::mnuTmpDirDefault_Click() {
  if (m_default) m_default->Edit(frmDefault::Use::TmpDir);
}

void frmRukasu::mnuOption_Click() {
  if (m_option) m_option->showModal();
  BtnEnabledChange();
}

void frmRukasu::mnuMkdir_Click() { MakeFolderCommand(m_context); }

void frmRukasu::mnuHelp_Click() { ShowHelp(this); }

void frmRukasu::mnuAbout_Click() {
  if (m_about) m_about->showModal();
}
