// Temporary: functions of modules being written in parallel.
#pragma once
void RunInterpreter(int define);
void ClearDebugLogFlag();
void ClearDefsubNames();
void ClearAliasTables();
