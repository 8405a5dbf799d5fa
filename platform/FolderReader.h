// Reads the entries of one folder for the folder and file lists: one pass of
// readdir, hidden names (starting with ".") left out, sorted once. Fast enough
// for folders of tens of thousands of entries.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

enum class FolderEntryKind {
  Folders,  // folders, and symbolic links to folders
  Files,    // regular files, and symbolic links to them (no devices, FIFOs or sockets)
};

// The names of the folder's entries of that kind that `accept` takes (all
// when it is empty), in name order; nullopt when the folder cannot be read.
std::optional<QStringList> ReadFolderEntries(const QString& folder, FolderEntryKind kind,
                                             const std::function<bool(const QString&)>& accept = {});

// The lists' name order: letter case ignored, names equal but for case in
// code-point order.
void SortNames(QStringList& names);
