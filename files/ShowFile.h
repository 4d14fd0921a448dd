#pragma once

#include "files/FileSystem.h"
#include "files/ShowRecord.h"
#include "model/Grid.h"
#include "model/ShowSettings.h"

#include <functional>
#include <string>

namespace velkaro {

// What a load leaves for the window to put into its controls. The numbers are raw: the window
// writes them as decimal text into the fields, whose controls refuse what is out of range (an
// empty file gives Steps 0, an over-long one more than 10000; both leave Steps as it was).
struct LoadResult {
    int StepsText = 0;   // for ELZ: the first target row plus the file's whole records
    int OutputsText = 1; // for ENX: the highest lit output of this load, counted from 1
    // Set when the load replaced the show and read its first record: the mode and step
    // length that record carries. FirstRecordHandler has already been told.
    bool HaveFirstRecordSettings = false;
    int BlendMode = FadeMode;
    int StepLength = 10;
};

// Called the moment a replacing load has read its first record, so the window can set the mode
// and the step length then, before any later record can fail.
using FirstRecordHandler = std::function<void(const ShowRecord::StepTiming&)>;

// Reads the DMX show file at path into cells, one 512-byte record at a time. Replacing
// (append false) opens the file, then clears the working area, then stores record k in row k.
// Appending stores the records from row currentSteps on and leaves mode and length alone.
// No record is stored past row 10010; reading stops there. A trailing piece shorter than a
// record is ignored. A failure throws ShowError with the German message; a file that cannot
// be opened changes nothing.
LoadResult LoadShow(const std::string& path, bool append, Grid& cells, bool monoMode,
                    int currentSteps, const FirstRecordHandler& onFirstRecord = {},
                    FileSystem& files = DefaultFileSystem());

// Writes rows 0..Steps-1, all 168 outputs each, as a DMX show file at path. The records go to a
// temporary file beside the target, which replaces the target only once it is complete, synced
// and closed; a failure throws ShowError, removes the temporary file and leaves the old file as
// it was.
void SaveShow(const std::string& path, const Grid& cells, const ShowSettings& settings,
              bool monoMode, FileSystem& files = DefaultFileSystem());

} // namespace velkaro
