// See frmAbout.h.
#include "dialogs/frmAbout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Libraries.h"
#include "engine/ProgramVersion.h"
#include "ui/AppContext.h"
#include "ui/FittingScrollArea.h"
#include "ui/ProgramIcon.h"
#include "ui/WindowFont.h"
#include "text/MessageCatalogue.h"

namespace {

constexpr const char16_t* kAuthorLine = u"作者　Rukasu2 Project";
constexpr int kIconSize = 64;

// The order of the rows, whatever the order of the check at start-up.
constexpr LibraryId kRowOrder[] = {LibraryId::Unlha, LibraryId::UnZip, LibraryId::Unarj, LibraryId::Ish,
                                   LibraryId::Cab,   LibraryId::Tar,   LibraryId::Bz2,   LibraryId::Unrar,
                                   LibraryId::SevenZip};
static_assert(std::size(kRowOrder) == frmAbout::kRows && frmAbout::kRows == kLibraryCount, "a row for each library");

QLabel* NamedLabel(const QString& name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

frmAbout::frmAbout(AppContext& context, QWidget* parent)
    : DialogBase(context, QStringLiteral("About"), QSize(), parent) {
  setObjectName(QStringLiteral("frmAbout"));
  // The heading and the rows scroll above Ok when a large font makes them
  // taller than the screen.
  auto* body = new QWidget;
  auto* rows = new QVBoxLayout(body);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->addWidget(buildHeading());
  rows->addWidget(buildLibraryRows());
  rows->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new FittingScrollArea(body, this), 1);
  btnOK = new QPushButton(this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  layout->addLayout(buttons);
}

frmAbout::~frmAbout() = default;

QWidget* frmAbout::buildHeading() {
  auto* heading = new QWidget(this);
  auto* grid = new QGridLayout(heading);
  grid->setContentsMargins(0, 0, 0, 0);
  imgAbout = NamedLabel(QStringLiteral("imgAbout"), heading);
  imgAbout->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize));
  imgAbout->setAlignment(Qt::AlignTop);
  lblAboutProgName = NamedLabel(QStringLiteral("lblAboutProgName"), heading);
  lblAboutTitle = NamedLabel(QStringLiteral("lblAboutTitle"), heading);
  lblAboutVersion = NamedLabel(QStringLiteral("lblAboutVersion"), heading);
  lblAboutName = NamedLabel(QStringLiteral("lblAboutName"), heading);
  grid->addWidget(imgAbout, 0, 0, 4, 1);
  grid->addWidget(lblAboutProgName, 0, 1);
  grid->addWidget(lblAboutTitle, 1, 1);
  grid->addWidget(lblAboutVersion, 2, 1);
  grid->addWidget(lblAboutName, 3, 1);
  grid->setColumnStretch(1, 1);
  return heading;
}

QWidget* frmAbout::buildLibraryRows() {
  auto* rows = new QWidget(this);
  auto* grid = new QGridLayout(rows);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < kRows; ++i) {
    lblProg[i] = NamedLabel(QStringLiteral("lblProg(%1)").arg(i), rows);
    lblVer[i] = NamedLabel(QStringLiteral("lblVer(%1)").arg(i), rows);
    // Blank rows keep their height, so the box does not change size with the libraries present.
    lblProg[i]->setMinimumHeight(lblProg[i]->fontMetrics().height());
    grid->addWidget(lblProg[i], i, 0);
    grid->addWidget(lblVer[i], i, 1);
  }
  grid->setColumnStretch(1, 1);
  return rows;
}

bool frmAbout::Form_Load() {
  if (!m_context.AutoRunning) {
    restorePlacement();
    SetFontData();
    setTexts();
  }
  fillLibraryRows();
  markLoaded();
  return true;
}

void frmAbout::setTexts() {
  setWindowTitle(MessageCatalogue::Product(ProductMsg::AboutCaption));
  lblAboutProgName->setText(MessageCatalogue::Product(ProductMsg::MainCaption));
  lblAboutTitle->setText(MessageCatalogue::Product(ProductMsg::ProgramDescription));
  lblAboutName->setText(QString::fromUtf16(kAuthorLine));
  lblAboutVersion->setText(QStringLiteral("Ver.") + ProgramVersion());
  btnOK->setText(QStringLiteral("Ok"));
}

void frmAbout::SetFontData() {
  const QFont font = SettingsFont(m_context.settings);
  ApplyFont(this, font);
  for (QWidget* control :
       std::initializer_list<QWidget*>{btnOK, lblAboutTitle, lblAboutName, lblAboutVersion, lblAboutProgName})
    ApplyFont(control, font);
  for (int i = 0; i < kRows; ++i) {
    ApplyFont(lblVer[i], font);
    ApplyFont(lblProg[i], font);
  }
}

QString frmAbout::VersionText(int version) {
  const int magnitude = version < 0 ? -version : version;
  return (version < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) + u'.' +
         QStringLiteral("%1").arg(magnitude % 100, 2, 10, QChar(u'0'));
}

void frmAbout::fillLibraryRows() {
  int row = 0;
  for (LibraryId id : kRowOrder) {
    if (!m_context.libraries.present(id)) continue;
    lblProg[row]->setText(LibraryFileName(id));
    lblVer[row]->setText(QStringLiteral("Ver.") + VersionText(m_context.libraries.version(id)));
    ++row;
  }
  for (; row < kRows; ++row) {
    lblProg[row]->clear();
    lblVer[row]->clear();
  }
}
