// "Extract to folder" of the file managers, as desktop extractors do it: the
// archive goes into a private folder beside it first; then its one top folder,
// if it holds exactly one, or else the folder named after it, takes its place
// under a name that is free ("NAME (2)" when NAME exists), never merging into
// a folder that was there.
#pragma once

#include <QString>
#include <cstdint>

class basRukasu;
class ExtractedVolumes;

// Archive_Extract of the engine into the folder that holds the archive, with
// the run mode `mode` (one that makes a folder), placed as above.
int16_t ExtractIntoFreshFolder(basRukasu& engine, const QString& archive, int16_t mode, ExtractedVolumes& volumes);

// Renames `from` to `name` in `folder` (ending with "/"), or to "name (2)",
// "name (3)" ... when that exists; false when it cannot be moved at all.
bool MoveToFreshName(const QString& from, const QString& folder, const QString& name);
