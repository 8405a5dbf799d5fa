// See frmOption.h.
#include "settings/frmOption.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/Libraries.h"
#include "settings/SettingsDefaults.h"
#include "shell/AppContext.h"
#include "shell/WindowFont.h"
#include "text/MessageCatalogue.h"

namespace {

constexpr int kSubIndent = 20;  // pixels the sub-boxes stand in from their kind box

// Index of the first checked button, or -1 when none is.
int SelectedIndex(const std::array<QRadioButton*, 4>& buttons) {
  for (int i = 0; i < 4; ++i)
    if (buttons[i]->isChecked()) return i;
  return -1;
}

// A stored index outside 0..3 selects the first button.
void Select(const std::array<QRadioButton*, 4>& buttons, int index) {
  buttons[(index >= 0 && index < 4) ? index : 0]->setChecked(true);
}

QFrame* GroupFrame(QWidget* parent) {
  auto* frame = new QFrame(parent);
  frame->setFrameShape(QFrame::StyledPanel);
  return frame;
}

// Hidden sub-boxes keep their room, so that the dialog does not jump as kind
// boxes are clicked.
void KeepRoomWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

}  // namespace

frmOption::frmOption(AppContext& context, QWidget* parent)
    : DialogBase(context, QStringLiteral("Option"), QSize(), parent) {
  setObjectName(QStringLiteral("frmOption"));
  auto* columns = new QHBoxLayout;
  columns->addWidget(buildKindGroups(), 3);
  columns->addWidget(buildGeneralColumn(), 2);
  auto* top = new QVBoxLayout(this);
  top->addLayout(columns);
  top->addWidget(buildButtonRow());
}

frmOption::~frmOption() = default;

QCheckBox* frmOption::makeBox(OptionBox which, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(QString::fromLatin1(OptionBoxRowOf(which).name));
  connect(box, &QCheckBox::clicked, this, [this, box] { controlClicked(box); });
  m_boxes[static_cast<int>(which)] = box;
  return box;
}

QRadioButton* frmOption::makeOptionButton(const QString& name, QWidget* panel) {
  auto* button = new QRadioButton(panel);
  button->setObjectName(name);
  connect(button, &QRadioButton::clicked, this, [this, button] { controlClicked(button); });
  return button;
}

QWidget* frmOption::kindGroup(OptionKind kind, int subColumns) {
  QFrame* frame = GroupFrame(this);
  auto* layout = new QVBoxLayout(frame);
  auto* panel = new QWidget(frame);
  panel->setObjectName(QString::fromLatin1(OptionKindPanelName(kind)));
  m_panels[static_cast<int>(kind)] = panel;
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(kSubIndent, 0, 0, 0);
  int n = 0;
  for (int i = 0; i < kOptionBoxCount; ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.kind != kind) continue;
    if (row.kindBox) {
      layout->addWidget(makeBox(OptionBox(i), frame));
      continue;
    }
    QCheckBox* sub = makeBox(OptionBox(i), panel);
    KeepRoomWhenHidden(sub);
    grid->addWidget(sub, n / subColumns, n % subColumns);
    ++n;
  }
  layout->addWidget(panel);
  return frame;
}

QWidget* frmOption::buildKindGroups() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  for (OptionKind kind :
       {OptionKind::Lzh, OptionKind::Zip, OptionKind::Arj, OptionKind::Ish, OptionKind::Cab, OptionKind::Rar})
    layout->addWidget(kindGroup(kind, 3));
  layout->addWidget(kindGroup(OptionKind::Tar, 4));
  layout->addStretch();
  return column;
}

QWidget* frmOption::buildGeneralColumn() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);

  QFrame* after = GroupFrame(column);
  auto* afterLayout = new QVBoxLayout(after);
  lblAshuku = new QLabel(after);
  lblAshuku->setObjectName(QStringLiteral("lblAshuku"));
  pnlAshuku = new QWidget(after);
  pnlAshuku->setObjectName(QStringLiteral("pnlAshuku"));
  auto* copyGrid = new QGridLayout(pnlAshuku);
  for (int i = 0; i < 4; ++i) {
    obtCopy[i] = makeOptionButton(QStringLiteral("obtCopy(%1)").arg(i), pnlAshuku);
    copyGrid->addWidget(obtCopy[i], i / 2, i % 2);
  }
  afterLayout->addWidget(lblAshuku);
  afterLayout->addWidget(pnlAshuku);
  layout->addWidget(after);

  QFrame* folders = GroupFrame(column);
  auto* foldersLayout = new QVBoxLayout(folders);
  foldersLayout->addWidget(makeBox(OptionBox::ckbUCase, folders));
  foldersLayout->addWidget(makeBox(OptionBox::ckbDouble, folders));
  layout->addWidget(folders);

  QFrame* autoRun = GroupFrame(column);
  auto* autoLayout = new QVBoxLayout(autoRun);
  autoLayout->addWidget(makeBox(OptionBox::ckbAuto, autoRun));
  pnlAuto = new QWidget(autoRun);
  pnlAuto->setObjectName(QStringLiteral("pnlAuto"));
  KeepRoomWhenHidden(pnlAuto);
  auto* exeGrid = new QGridLayout(pnlAuto);
  exeGrid->setContentsMargins(kSubIndent, 0, 0, 0);
  for (int i = 0; i < 4; ++i) {
    obtExe[i] = makeOptionButton(QStringLiteral("obtExe(%1)").arg(i), pnlAuto);
    exeGrid->addWidget(obtExe[i], i / 2, i % 2);
  }
  autoLayout->addWidget(pnlAuto);
  QCheckBox* log = makeBox(OptionBox::ckbLog, autoRun);
  KeepRoomWhenHidden(log);
  log->setContentsMargins(kSubIndent, 0, 0, 0);
  autoLayout->addWidget(log);
  layout->addWidget(autoRun);

  QFrame* windows = GroupFrame(column);
  auto* windowsLayout = new QVBoxLayout(windows);
  windowsLayout->addWidget(makeBox(OptionBox::ckbResize, windows));
  windowsLayout->addWidget(makeBox(OptionBox::ckbTip, windows));
  layout->addWidget(windows);
  layout->addStretch();
  return column;
}

QWidget* frmOption::buildButtonRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  btnInit = new QPushButton(row);
  btnInit->setObjectName(QStringLiteral("btnInit"));
  btnOk = new QPushButton(row);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnCancel = new QPushButton(row);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  // Enter confirms (when btnOk is enabled) and never resets.
  btnInit->setAutoDefault(false);
  btnCancel->setAutoDefault(false);
  btnOk->setDefault(true);
  layout->addWidget(btnInit);
  layout->addStretch();
  layout->addWidget(btnOk);
  layout->addWidget(btnCancel);
  connect(btnOk, &QPushButton::clicked, this, &frmOption::btnOk_Click);
  connect(btnInit, &QPushButton::clicked, this, &frmOption::btnInit_Click);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  return row;
}

bool frmOption::Form_Load() {
  if (!m_context.AutoRunning) {
    restorePlacement();
    SetFontData();
    setTexts();
    SetToolTip(m_context.settings.Tip);
  }
  enableByLibraries();
  markLoaded();
  return true;
}

void frmOption::setTexts() {
  setWindowTitle(MessageCatalogue::Product(8000));
  for (int i = 0; i < kOptionBoxCount; ++i) m_boxes[i]->setText(OptionBoxRows()[i].caption.text());
  lblAshuku->setText(MessageCatalogue::Product(8027));
  for (int i = 0; i < 4; ++i) {
    obtCopy[i]->setText(MessageCatalogue::Product(8028 + i));
    obtExe[i]->setText(MessageCatalogue::Product(8048 + i));
  }
  btnOk->setText(MessageCatalogue::Shared(8044));
  btnInit->setText(MessageCatalogue::Shared(8042));
  btnCancel->setText(MessageCatalogue::Shared(8043));
}

void frmOption::SetToolTip(bool on) {
  auto tip = [on](const QString& text) { return on ? text : QString(); };
  for (int i = 0; i < kOptionBoxCount; ++i) m_boxes[i]->setToolTip(tip(OptionBoxRows()[i].tip.text()));
  for (int i = 0; i < 4; ++i) {
    obtCopy[i]->setToolTip(tip(MessageCatalogue::Product(8032 + i)));
    obtExe[i]->setToolTip(tip(MessageCatalogue::Product(8052 + i)));
  }
  btnInit->setToolTip(tip(MessageCatalogue::Shared(8045)));
  btnCancel->setToolTip(tip(MessageCatalogue::Shared(8046)));
  btnOk->setToolTip(tip(MessageCatalogue::Shared(8047)));
}

void frmOption::SetFontData() {
  const QFont font = SettingsFont(m_context.settings);
  ApplyFont(this, font);
  for (QCheckBox* box : m_boxes) ApplyFont(box, font);
  ApplyFont(lblAshuku, font);
  for (int i = 0; i < 4; ++i) {
    ApplyFont(obtCopy[i], font);
    ApplyFont(obtExe[i], font);
  }
  for (QPushButton* button : {btnCancel, btnInit, btnOk}) ApplyFont(button, font);
}

void frmOption::enableByLibraries() {
  for (int i = 0; i < kOptionBoxCount; ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.library) m_boxes[i]->setEnabled(m_context.libraries.present(*row.library));
  }
}

bool frmOption::checked(OptionBox which) const {
  // The grey third state counts as not checked.
  return box(which)->checkState() == Qt::Checked;
}

void frmOption::fill(const Settings& settings) {
  for (int i = 0; i < kOptionBoxCount; ++i) m_boxes[i]->setChecked(settings.*(OptionBoxRows()[i].field));
  Select(obtCopy, settings.File);
  Select(obtExe, settings.AutoExe);
  applyVisibility();
}

void frmOption::applyVisibility() {
  std::array<bool, kOptionKindCount> kindOn{};
  for (int i = 0; i < kOptionBoxCount; ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.kind && row.kindBox) kindOn[static_cast<int>(*row.kind)] = checked(OptionBox(i));
  }
  for (int i = 0; i < kOptionBoxCount; ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.kind && !row.kindBox) m_boxes[i]->setVisible(kindOn[static_cast<int>(*row.kind)]);
  }
  const bool bz2 = m_context.libraries.present(LibraryId::Bz2);
  for (OptionBox b : {OptionBox::ckbTAR_TARBZ2, OptionBox::ckbTAR_BZIP2, OptionBox::ckbTAR_BZ2})
    box(b)->setEnabled(bz2);
  const bool autoOn = checked(OptionBox::ckbAuto);
  pnlAuto->setVisible(autoOn);
  box(OptionBox::ckbLog)->setVisible(autoOn);
}

void frmOption::opening() {
  fill(m_context.settings);
  btnOk->setEnabled(false);
}

void frmOption::controlClicked(QWidget* control) {
  btnOk->setEnabled(true);
  if (control == box(OptionBox::ckbAuto)) {
    applyVisibility();
    return;
  }
  for (int i = 0; i < kOptionBoxCount; ++i)
    if (m_boxes[i] == control && OptionBoxRows()[i].kindBox) applyVisibility();
}

void frmOption::btnInit_Click() {
  btnOk->setEnabled(true);
  fill(DefaultSettings());
}

void frmOption::copyInto(Settings& settings) const {
  for (int i = 0; i < kOptionBoxCount; ++i) {
    const OptionBox which = OptionBox(i);
    if (which == OptionBox::ckbResize || which == OptionBox::ckbTip) continue;
    settings.*(OptionBoxRows()[i].field) = checked(which);
    if (which == OptionBox::ckbTAR_BZ2) {
      if (const int index = SelectedIndex(obtCopy); index >= 0) settings.File = static_cast<int16_t>(index);
    } else if (which == OptionBox::ckbAuto) {
      if (const int index = SelectedIndex(obtExe); index >= 0) settings.AutoExe = static_cast<int16_t>(index);
    }
  }
}

void frmOption::setToolTipsOfAllWindows() {
  const AppWindows& w = m_context.windows;
  const bool on = m_context.settings.Tip;
  // frmDefault, frmMenuMente, this dialog, frmRukasu, then the six panes.
  for (CommonWindowOps* window : std::initializer_list<CommonWindowOps*>{
           w.defaults, w.menuMente, this, w.main, w.inDir, w.inFile, w.file, w.outDir, w.status, w.outFile})
    if (window) window->SetToolTip(on);
}

void frmOption::btnOk_Click() {
  Settings& settings = m_context.settings;
  copyInto(settings);
  const bool tip = checked(OptionBox::ckbTip);
  if (tip != settings.Tip) {
    settings.Tip = tip;
    setToolTipsOfAllWindows();
  }
  settings.Resize = checked(OptionBox::ckbResize);
  if (SourceFileOps* inFile = m_context.windows.inFile) {
    inFile->Pattern_Make();
    inFile->RefreshForm();
  }
  // The list's entries may no longer be of enabled kinds.
  if (TargetListOps* file = m_context.windows.file) file->RefreshForm();
  accept();
}
