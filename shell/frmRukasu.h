// The main window: start-up (the removal switch, the settings, the library
// check, the automatic run, the panes), the run buttons and the batch run,
// the tiling of the six panes, the common menu commands every pane forwards
// here, and closing with every window's keys saved.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

#include "ui/FramePlacement.h"
#include "ui/WindowInterfaces.h"
#include "text/MessageIds.h"

class BatchRun;
class QAction;
class CommonMenu;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QProgressBar;
class QPushButton;
class PaneBase;
class mdiDir;
class mdiFile;
class mdiInFile;
class mdiOutFile;
class mdiStatus;
class frmAbout;
class frmDefault;
class frmMenuMente;
class frmOption;
struct AppContext;

class frmRukasu : public QMainWindow, public MainWindowOps {
  Q_OBJECT

 public:
  // What start-up decided.
  enum class Start { ShowWindow, EndProgram };

  explicit frmRukasu(AppContext& context);
  ~frmRukasu() override;

  // How this call's automatic run is to go, from the command line: forced for
  // this call only (--auto), with its own run mode and destination (or each
  // archive's own folder), and a place to hand every result-log line (standard output).
  struct AutoRequest {
    bool forced = false;
    std::optional<int16_t> mode;
    QString dest;
    bool here = false;
    std::function<void(const QString&)> echo;
  };
  void setAutoRequest(AutoRequest request) { m_autoRequest = std::move(request); }

  // Start-up; `names` as CommandLineNames() makes them from the arguments.
  // The exit code is set when the program is to end without showing the window.
  Start MDIForm_Load(const QStringList& names, int* exitCode = nullptr);
  // The automatic run: true when a batch was run (the program then ends, with
  // autoRunStatus() as its exit status: 0 all extracted, 1 some not, 2 stopped).
  bool AutoRun(const QStringList& names);
  int autoRunStatus() const { return m_autoStatus; }

  // The run buttons and Cancel.
  void btnExe_Click(int index);
  void btnCancel_Click();

  // MainWindowOps
  void BtnEnabledChange() override;
  int windowStateValue() override;
  QWidget* dialogParent() override { return this; }
  void SetFontData() override;
  void SetToolTip(bool on) override;
  void mnuExit_Click() override;
  void mnuFont_Click() override;
  void mnuLogCopy_Click() override;
  void mnuLogSave_Click() override;
  void mnuInDirDefault_Click() override;
  void mnuOutDirDefault_Click() override;
  void mnuTmpDirDefault_Click() override;
  void mnuOption_Click() override;
  void mnuMkdir_Click() override;
  void mnuHelp_Click() override;
  void mnuAbout_Click() override;

  // Tiling (MDIForm_Resize): panes by halves and thirds of the inner area
  // when Resize is set; a pane never smaller than its controls need, the
  // area scrolling when the window is too small for them.
  void MDIForm_Resize();
  // Half and third of the inner size, rounded half to even.
  static QSize TileSize(int innerWidth, int innerHeight);

  BatchRun& batchRun() const { return *m_batch; }
  // The font dialog step, replaceable in tests; false when cancelled.
  std::function<bool(QFont& font)> chooseFont;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void buildWindow();
  bool tabThroughWindow(bool next);
  bool loadWindows();
  bool loadPanes();
  void unloadPanes(bool withDialogs, bool closeHandling);
  QMdiSubWindow* host(PaneBase* pane, int slot);
  void MDIForm_Activate();
  void showProgress(int number, int count, const QString& archive);
  void showBytes(qint64 done, qint64 total);
  void runFinished();
  void announceStop(ProductMsg message);
  void setCancelEnabled(bool on);
  void followActivePane();
  // The least tile for panes at the present font: `width` or wider, as high
  // as the highest pane needs at that width.
  QSize leastTile(int width) const;
  int leastTiledHeight(int innerWidth) const;
  // Where the pane's sub-window stands when tiled.
  QPoint tileOrigin(const QWidget* sub) const;

  AppContext& m_context;
  QMdiArea* m_mdi = nullptr;
  QWidget* pnlRukasu = nullptr;
  std::array<QPushButton*, 4> btnExe{};
  QPushButton* btnCancel = nullptr;
  QAction* m_cancelKey = nullptr;
  CommonMenu* m_menu = nullptr;
  QLabel* m_progressText = nullptr;
  QProgressBar* m_progressBar = nullptr;
  std::unique_ptr<BatchRun> m_batch;

  mdiDir* m_inDir = nullptr;
  mdiInFile* m_inFile = nullptr;
  mdiFile* m_file = nullptr;
  mdiDir* m_outDir = nullptr;
  mdiStatus* m_status = nullptr;
  mdiOutFile* m_outFile = nullptr;
  frmAbout* m_about = nullptr;
  frmDefault* m_default = nullptr;
  frmOption* m_option = nullptr;
  frmMenuMente* m_menuMente = nullptr;

  QString m_loadFailure;  // the report of the window whose load failed
  AutoRequest m_autoRequest;
  FramePlacement m_placement{*this, true};
  QSize m_tile;  // of the last tiling
  int m_autoStatus = 0;
  bool m_activatedOnce = false;
  bool m_closeRequested = false;
  bool m_closing = false;
};
