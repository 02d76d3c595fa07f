// csv.h - the CSV file commands' state.
#pragma once

void ClearCsvOpenFlag();  // at start: no CSV file is open
