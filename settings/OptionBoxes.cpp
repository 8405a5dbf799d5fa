// See OptionBoxes.h.
#include "settings/OptionBoxes.h"

#include "text/MessageCatalogue.h"

namespace {

constexpr OptionText P(int id) { return {OptionText::Product, id, nullptr}; }
constexpr OptionText S(int id) { return {OptionText::Shared, id, nullptr}; }
constexpr OptionText F(const char16_t* text) { return {OptionText::Fixed, 0, text}; }

using K = OptionKind;
using L = LibraryId;
constexpr std::nullopt_t kNone = std::nullopt;

constexpr OptionBoxRow kRows[kOptionBoxCount] = {
    {"ckbLZH", P(8001), P(8007), &Settings::Lzh, K::Lzh, true, L::Unlha},
    {"ckbLZH_EXE", F(u".EXE"), P(8013), &Settings::Lzh_Exe, K::Lzh, false, L::Unlha},
    {"ckbLZH_X", F(u".X"), P(8014), &Settings::Lzh_X, K::Lzh, false, L::Unlha},
    {"ckbLZH_LHA", F(u".LHA"), P(8015), &Settings::Lzh_Lha, K::Lzh, false, L::Unlha},
    {"ckbZIP", P(8002), P(8008), &Settings::Zip, K::Zip, true, L::UnZip},
    {"ckbZIP_EXE", F(u".EXE"), P(8016), &Settings::Zip_Exe, K::Zip, false, L::UnZip},
    {"ckbARJ", P(8003), P(8009), &Settings::Arj, K::Arj, true, L::Unarj},
    {"ckbARJ_EXE", F(u".EXE"), P(8017), &Settings::Arj_Exe, K::Arj, false, L::Unarj},
    {"ckbISH", P(8004), P(8010), &Settings::Ish, K::Ish, true, L::Ish},
    {"ckbISH_LOG", F(u".LOG"), P(8018), &Settings::Ish_Log, K::Ish, false, L::Ish},
    // The self-extracting CAB and RAR boxes are not tied to their library.
    {"ckbCAB", P(8005), P(8011), &Settings::Cab, K::Cab, true, L::Cab},
    {"ckbCAB_EXE", F(u".EXE"), P(8019), &Settings::Cab_Exe, K::Cab, false, kNone},
    {"ckbRAR", P(8070), P(8072), &Settings::Rar, K::Rar, true, L::Unrar},
    {"ckbRAR_EXE", F(u".EXE"), P(8071), &Settings::Rar_Exe, K::Rar, false, kNone},
    {"ckbTAR", P(8006), P(8012), &Settings::Tar, K::Tar, true, L::Tar},
    {"ckbTAR_TAR", F(u".TAR"), P(8020), &Settings::Tar_Tar, K::Tar, false, L::Tar},
    {"ckbTAR_TARGZ", F(u".TAR.GZ"), P(8021), &Settings::Tar_Targz, K::Tar, false, L::Tar},
    {"ckbTAR_TGZ", F(u".TGZ"), P(8022), &Settings::Tar_Tgz, K::Tar, false, L::Tar},
    {"ckbTAR_TARZ", F(u".TAR.Z"), P(8023), &Settings::Tar_Tarz, K::Tar, false, L::Tar},
    {"ckbTAR_TAZ", F(u".TAZ"), P(8024), &Settings::Tar_Taz, K::Tar, false, L::Tar},
    {"ckbTAR_GZ", F(u".GZ"), P(8025), &Settings::Tar_Gz, K::Tar, false, L::Tar},
    {"ckbTAR_Z", F(u".Z"), P(8026), &Settings::Tar_Z, K::Tar, false, L::Tar},
    {"ckbTAR_TARBZ2", F(u".TAR.BZ2"), P(8080), &Settings::Tar_TarBz2, K::Tar, false, L::Bz2},
    {"ckbTAR_BZIP2", F(u".BZIP2"), P(8081), &Settings::Tar_Bzip2, K::Tar, false, L::Bz2},
    {"ckbTAR_BZ2", F(u".BZ2"), P(8082), &Settings::Tar_Bz2, K::Tar, false, L::Bz2},
    {"ckbUCase", P(8036), P(8039), &Settings::UCase, kNone, false, kNone},
    {"ckbDouble", P(8037), P(8040), &Settings::Double, kNone, false, kNone},
    {"ckbAuto", P(8038), P(8041), &Settings::Auto, kNone, false, kNone},
    {"ckbLog", S(8060), S(8061), &Settings::AutoLog, kNone, false, kNone},
    {"ckbResize", S(8056), S(8057), &Settings::Resize, kNone, false, kNone},
    {"ckbTip", S(8058), S(8059), &Settings::Tip, kNone, false, kNone},
};

constexpr const char* kPanels[kOptionKindCount] = {"pnlLZH", "pnlZIP", "pnlARJ", "pnlISH",
                                                   "pnlCAB", "pnlRAR", "pnlTar"};

}  // namespace

QString OptionText::text() const {
  switch (source) {
    case Product:
      return MessageCatalogue::Product(id);
    case Shared:
      return MessageCatalogue::Shared(id);
    case Fixed:
      return QString::fromUtf16(fixed);
  }
  return {};
}

std::span<const OptionBoxRow> OptionBoxRows() { return kRows; }

const OptionBoxRow& OptionBoxRowOf(OptionBox box) { return kRows[static_cast<int>(box)]; }

const char* OptionKindPanelName(OptionKind kind) { return kPanels[static_cast<int>(kind)]; }
