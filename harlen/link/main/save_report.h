// The message of a save-all that the NVR did not take whole: the sections it
// refused, those that could not be saved (not sent, or not answered in time)
// and those never read from it, each group under its own line, by the names
// the user knows them by.
#pragma once

#include <QString>

#include "harlen/link/main/save_acks.h"
#include "platform/win_types.h"

QString SaveReportText(const SaveOutcome& outcome);

// The string id of a save-all section's name; 0 for another section.
UINT SectionNameId(int section);
