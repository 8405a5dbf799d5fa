// The about box: the program's name, title and version, its author, and one
// row per archiver library found at start-up with its version.
// The rows are filled when the box is loaded, not each time it is shown.
#pragma once

#include <array>

#include "ui/DialogBase.h"

class QLabel;
class QPushButton;

class frmAbout : public DialogBase {
  Q_OBJECT

 public:
  static constexpr int kRows = 9;

  explicit frmAbout(AppContext& context, QWidget* parent = nullptr);
  ~frmAbout() override;

  // Placement, fonts, texts and the library rows. A failure on the way only
  // blanks the rows: this load never fails.
  bool Form_Load() override;

  void SetFontData() override;
  // The about box has no tool tips.
  void SetToolTip(bool) override {}

  // "0.00" of a version number that is the version times 100 (112 gives "1.12").
  static QString VersionText(int version);

 private:
  QWidget* buildHeading();
  QWidget* buildLibraryRows();
  void setTexts();
  void fillLibraryRows();

  QLabel* imgAbout = nullptr;
  QLabel* lblAboutProgName = nullptr;
  QLabel* lblAboutTitle = nullptr;
  QLabel* lblAboutName = nullptr;
  QLabel* lblAboutVersion = nullptr;
  std::array<QLabel*, kRows> lblProg{};
  std::array<QLabel*, kRows> lblVer{};
  QPushButton* btnOK = nullptr;
};
