// The options dialog: which archive kinds and extensions are extraction
// targets, what happens to an archive after its extraction, folder name case,
// double archives, the automatic run, pane tiling and tool tips. It edits the
// settings record in memory; kinds whose library is absent cannot be changed.
#pragma once

#include <array>
#include <vector>

#include "dialogs/OptionBoxes.h"
#include "ui/DialogBase.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QWidget;

class frmOption : public DialogBase {
  Q_OBJECT

 public:
  explicit frmOption(AppContext& context, QWidget* parent = nullptr);
  ~frmOption() override;

  // Placement, fonts, texts, tool tips, then the kind groups by library presence.
  bool Form_Load() override;

  void SetFontData() override;
  void SetToolTip(bool on) override;

 protected:
  // Each showing: the controls from the settings, the visibility rule, btnOk disabled.
  void opening() override;

 private:
  // The TAR family alone, or every other family.
  QWidget* buildKindGroups(bool tar);
  QWidget* kindGroup(KindFamily kind, int subColumns);
  QWidget* buildGeneralColumn();
  QWidget* buildButtonRow();
  QCheckBox* makeBox(int row, QWidget* parent);
  QRadioButton* makeOptionButton(const QString& name, QWidget* panel);

  QCheckBox* box(GeneralBox which) const { return m_boxes[OptionBoxIndex(which)]; }
  // The grey third state counts as not checked.
  static bool checked(const QCheckBox* box);
  void setTexts();
  void enableByLibraries();
  void fill(const Settings& settings);
  // Sub-boxes follow their kind box; pnlAuto and ckbLog follow ckbAuto.
  void applyVisibility();
  void copyInto(Settings& settings) const;
  void setToolTipsOfAllWindows();

  void controlClicked(QWidget* control);
  void btnOk_Click();
  void btnInit_Click();

  std::vector<QCheckBox*> m_boxes;  // indexed like OptionBoxRows()
  std::array<QWidget*, kKindFamilyCount> m_panels{};
  std::array<QRadioButton*, 4> obtCopy{};
  std::array<QRadioButton*, 4> obtExe{};
  QLabel* lblAshuku = nullptr;
  QWidget* pnlAshuku = nullptr;
  QWidget* pnlAuto = nullptr;
  QPushButton* btnOk = nullptr;
  QPushButton* btnInit = nullptr;
  QPushButton* btnCancel = nullptr;
};
