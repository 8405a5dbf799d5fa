// See frmOption.h.
#include "dialogs/frmOption.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/frmPasswords.h"
#include "engine/Libraries.h"
#include "settings/SettingsDefaults.h"
#include "ui/AppContext.h"
#include "ui/FittingScrollArea.h"
#include "ui/WindowFont.h"
#include "text/MessageCatalogue.h"

namespace {

constexpr int kSubIndent = 20;  // pixels the sub-boxes stand in from their kind box

// The radio buttons' texts, in PostAction and RunMode order.
using M = ProductMsg;
constexpr M kCopyCaptions[4] = {M::AfterNone, M::AfterCopy, M::AfterMove, M::AfterDelete};
constexpr M kCopyTips[4] = {M::AfterNoneTip, M::AfterCopyTip, M::AfterMoveTip, M::AfterDeleteTip};
constexpr M kExeCaptions[4] = {M::AutoOkavi, M::AutoNormal, M::AutoNoDigits, M::AutoFileN};
constexpr M kExeTips[4] = {M::AutoOkaviTip, M::AutoNormalTip, M::AutoNoDigitsTip, M::AutoFileNTip};

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

// A group's column, with narrow margins: the dialog must stay low.
QVBoxLayout* GroupColumn(QFrame* frame) {
  auto* column = new QVBoxLayout(frame);
  column->setContentsMargins(6, 4, 6, 4);
  column->setSpacing(2);
  return column;
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
    : DialogBase(context, QStringLiteral("Option"), QSize(), parent), m_boxes(OptionBoxRows().size()) {
  setObjectName(QStringLiteral("frmOption"));
  // The small kinds on the left, the general groups and the many extensions
  // of the TAR family on the right: the dialog stays lower than a 720-pixel
  // screen at the usual fonts, and scrolls above its buttons at larger ones.
  auto* body = new QWidget;
  auto* columns = new QHBoxLayout(body);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->addWidget(buildKindGroups(false), 1);
  columns->addWidget(buildGeneralColumn(), 1);
  auto* top = new QVBoxLayout(this);
  top->addWidget(new FittingScrollArea(body, this), 1);
  top->addWidget(buildButtonRow());
}

frmOption::~frmOption() = default;

QCheckBox* frmOption::makeBox(int row, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(OptionBoxRows()[row].name);
  connect(box, &QCheckBox::clicked, this, [this, box] { controlClicked(box); });
  m_boxes[row] = box;
  return box;
}

QRadioButton* frmOption::makeOptionButton(const QString& name, QWidget* panel) {
  auto* button = new QRadioButton(panel);
  button->setObjectName(name);
  connect(button, &QRadioButton::clicked, this, [this, button] { controlClicked(button); });
  return button;
}

QWidget* frmOption::kindGroup(KindFamily kind, int subColumns) {
  QFrame* frame = GroupFrame(this);
  QVBoxLayout* layout = GroupColumn(frame);
  auto* panel = new QWidget(frame);
  panel->setObjectName(QString::fromLatin1(FamilyRowOf(kind).panel));
  m_panels[static_cast<int>(kind)] = panel;
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(kSubIndent, 0, 0, 0);
  grid->setVerticalSpacing(2);
  int n = 0;
  for (int i = 0; i < static_cast<int>(OptionBoxRows().size()); ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.kind != kind) continue;
    if (row.kindBox) {
      layout->addWidget(makeBox(i, frame));
      continue;
    }
    QCheckBox* sub = makeBox(i, panel);
    KeepRoomWhenHidden(sub);
    grid->addWidget(sub, n / subColumns, n % subColumns);
    ++n;
  }
  layout->addWidget(panel);
  return frame;
}

QWidget* frmOption::buildKindGroups(bool tar) {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  for (const FamilyRow& family : FamilyRows())
    if ((family.family == KindFamily::Tar) == tar) layout->addWidget(kindGroup(family.family, tar ? 5 : 3));
  layout->addStretch();
  return column;
}

QWidget* frmOption::buildGeneralColumn() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);

  QFrame* after = GroupFrame(column);
  QVBoxLayout* afterLayout = GroupColumn(after);
  lblAshuku = new QLabel(after);
  lblAshuku->setObjectName(QStringLiteral("lblAshuku"));
  pnlAshuku = new QWidget(after);
  pnlAshuku->setObjectName(QStringLiteral("pnlAshuku"));
  auto* copyGrid = new QGridLayout(pnlAshuku);
  copyGrid->setContentsMargins(0, 2, 0, 0);
  copyGrid->setVerticalSpacing(2);
  for (int i = 0; i < 4; ++i) {
    obtCopy[i] = makeOptionButton(QStringLiteral("obtCopy(%1)").arg(i), pnlAshuku);
    copyGrid->addWidget(obtCopy[i], i / 2, i % 2);
  }
  afterLayout->addWidget(lblAshuku);
  afterLayout->addWidget(pnlAshuku);
  layout->addWidget(after);

  QFrame* folders = GroupFrame(column);
  QVBoxLayout* foldersLayout = GroupColumn(folders);
  foldersLayout->addWidget(makeBox(OptionBoxIndex(GeneralBox::ckbUCase), folders));
  foldersLayout->addWidget(makeBox(OptionBoxIndex(GeneralBox::ckbDouble), folders));
  layout->addWidget(folders);

  QFrame* autoRun = GroupFrame(column);
  QVBoxLayout* autoLayout = GroupColumn(autoRun);
  autoLayout->addWidget(makeBox(OptionBoxIndex(GeneralBox::ckbAuto), autoRun));
  pnlAuto = new QWidget(autoRun);
  pnlAuto->setObjectName(QStringLiteral("pnlAuto"));
  KeepRoomWhenHidden(pnlAuto);
  auto* exeGrid = new QGridLayout(pnlAuto);
  exeGrid->setContentsMargins(kSubIndent, 0, 0, 0);
  exeGrid->setVerticalSpacing(2);
  for (int i = 0; i < 4; ++i) {
    obtExe[i] = makeOptionButton(QStringLiteral("obtExe(%1)").arg(i), pnlAuto);
    exeGrid->addWidget(obtExe[i], i / 2, i % 2);
  }
  autoLayout->addWidget(pnlAuto);
  QCheckBox* log = makeBox(OptionBoxIndex(GeneralBox::ckbLog), autoRun);
  KeepRoomWhenHidden(log);
  log->setContentsMargins(kSubIndent, 0, 0, 0);
  autoLayout->addWidget(log);
  layout->addWidget(autoRun);

  QFrame* windows = GroupFrame(column);
  QVBoxLayout* windowsLayout = GroupColumn(windows);
  windowsLayout->addWidget(makeBox(OptionBoxIndex(GeneralBox::ckbResize), windows));
  windowsLayout->addWidget(makeBox(OptionBoxIndex(GeneralBox::ckbTip), windows));
  layout->addWidget(windows);
  layout->addWidget(buildKindGroups(true));
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
  layout->addWidget(PasswordsButton(row));
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
  setWindowTitle(MessageCatalogue::Product(ProductMsg::OptionCaption));
  for (size_t i = 0; i < m_boxes.size(); ++i) m_boxes[i]->setText(OptionBoxRows()[i].caption.text());
  lblAshuku->setText(MessageCatalogue::Product(ProductMsg::AfterExtraction));
  for (int i = 0; i < 4; ++i) {
    obtCopy[i]->setText(MessageCatalogue::Product(kCopyCaptions[i]));
    obtExe[i]->setText(MessageCatalogue::Product(kExeCaptions[i]));
  }
  btnOk->setText(MessageCatalogue::Shared(SharedMsg::OkButton));
  btnInit->setText(MessageCatalogue::Shared(SharedMsg::InitButton));
  btnCancel->setText(MessageCatalogue::Shared(SharedMsg::CancelButton));
}

void frmOption::SetToolTip(bool on) {
  auto tip = [on](const QString& text) { return on ? text : QString(); };
  for (size_t i = 0; i < m_boxes.size(); ++i) m_boxes[i]->setToolTip(tip(OptionBoxRows()[i].tip.text()));
  for (int i = 0; i < 4; ++i) {
    obtCopy[i]->setToolTip(tip(MessageCatalogue::Product(kCopyTips[i])));
    obtExe[i]->setToolTip(tip(MessageCatalogue::Product(kExeTips[i])));
  }
  btnInit->setToolTip(tip(MessageCatalogue::Shared(SharedMsg::InitTip)));
  btnCancel->setToolTip(tip(MessageCatalogue::Shared(SharedMsg::CancelTip)));
  btnOk->setToolTip(tip(MessageCatalogue::Shared(SharedMsg::OkTip)));
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
  for (size_t i = 0; i < m_boxes.size(); ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.library) m_boxes[i]->setEnabled(m_context.libraries.present(*row.library));
  }
}

bool frmOption::checked(const QCheckBox* box) { return box->checkState() == Qt::Checked; }

void frmOption::fill(const Settings& settings) {
  for (size_t i = 0; i < m_boxes.size(); ++i) m_boxes[i]->setChecked(settings.*(OptionBoxRows()[i].field));
  Select(obtCopy, settings.File);
  Select(obtExe, settings.AutoExe);
  applyVisibility();
}

void frmOption::applyVisibility() {
  std::array<bool, kKindFamilyCount> kindOn{};
  for (size_t i = 0; i < m_boxes.size(); ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.kind && row.kindBox) kindOn[static_cast<int>(*row.kind)] = checked(m_boxes[i]);
  }
  for (size_t i = 0; i < m_boxes.size(); ++i) {
    const OptionBoxRow& row = OptionBoxRows()[i];
    if (row.kind && !row.kindBox) m_boxes[i]->setVisible(kindOn[static_cast<int>(*row.kind)]);
  }
  enableByLibraries();
  const bool autoOn = checked(box(GeneralBox::ckbAuto));
  pnlAuto->setVisible(autoOn);
  box(GeneralBox::ckbLog)->setVisible(autoOn);
}

void frmOption::opening() {
  fill(m_context.settings);
  btnOk->setEnabled(false);
}

void frmOption::controlClicked(QWidget* control) {
  btnOk->setEnabled(true);
  if (control == box(GeneralBox::ckbAuto)) {
    applyVisibility();
    return;
  }
  for (size_t i = 0; i < m_boxes.size(); ++i)
    if (m_boxes[i] == control && OptionBoxRows()[i].kindBox) applyVisibility();
}

void frmOption::btnInit_Click() {
  btnOk->setEnabled(true);
  fill(DefaultSettings());
}

void frmOption::copyInto(Settings& settings) const {
  // ckbResize and ckbTip take effect in btnOk_Click.
  for (size_t i = 0; i < m_boxes.size(); ++i)
    if (m_boxes[i] != box(GeneralBox::ckbResize) && m_boxes[i] != box(GeneralBox::ckbTip))
      settings.*(OptionBoxRows()[i].field) = checked(m_boxes[i]);
  if (const int index = SelectedIndex(obtCopy); index >= 0) settings.File = static_cast<int16_t>(index);
  if (const int index = SelectedIndex(obtExe); index >= 0) settings.AutoExe = static_cast<int16_t>(index);
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
  const bool tip = checked(box(GeneralBox::ckbTip));
  if (tip != settings.Tip) {
    settings.Tip = tip;
    setToolTipsOfAllWindows();
  }
  settings.Resize = checked(box(GeneralBox::ckbResize));
  if (SourceFileOps* inFile = m_context.windows.inFile) {
    inFile->Pattern_Make();
    inFile->RefreshForm();
  }
  // The list's entries may no longer be of enabled kinds.
  if (TargetListOps* file = m_context.windows.file) file->RefreshForm();
  accept();
}
