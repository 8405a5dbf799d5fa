// The software-centre listing (AppStream metainfo): valid for appstreamcli,
// naming the media types of the menu entry and the program's version as its
// latest release.
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

#include "engine/ProgramVersion.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kMetainfo = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/org.example.Rukasu2.metainfo.xml");
const QString kMenuEntry = QStringLiteral(RUKASU2_SOURCE_DIR "/dist/org.example.Rukasu2.desktop");

TEST(Metainfo, PassesAppstreamcliValidate) {
  RK_REQUIRE_PROGRAM("appstreamcli");
  QByteArray output;
  EXPECT_EQ(testing_support::Run("appstreamcli", {"validate", "--no-net", kMetainfo}, {}, &output), 0)
      << output.constData();
}

TEST(Metainfo, DeclaresTheMenuEntrysTypesAndTheProgramsVersion) {
  QFile file(kMetainfo);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QStringList types;
  QString latest;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"mediatype") types << xml.readElementText();
    if (xml.name() == u"release" && latest.isEmpty()) latest = xml.attributes().value("version").toString();
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  QString declared;
  for (const QString& line : QString::fromUtf8(testing_support::ReadFile(kMenuEntry)).split(u'\n'))
    if (line.startsWith("MimeType=")) declared = line.mid(9);
  EXPECT_EQ(types, declared.split(u';', Qt::SkipEmptyParts));
  EXPECT_EQ(latest, ProgramVersion());
}

}  // namespace
