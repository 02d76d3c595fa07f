// csv.cpp - the CSV file commands.
#include "core/csv.h"

void ClearCsvOpenFlag() {}
