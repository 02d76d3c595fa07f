// csv.h - the CSV file commands: one CSV file at a time, read or written,
// plain (modes "r", "w") or with every byte scrambled by the key 0x5B
// ("rc", "wc").  Records are separated by CR LF written before every record
// but the first, fields by ','; texts are written as their bytes, unquoted.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

extern std::string CsvFileName;  // the open file's name; "" while none is open
extern FILE* CsvFile;
extern uint8_t CsvReading;       // opened for reading (kept by an unknown mode)
extern uint8_t CsvScrambled;     // every byte XORed with 0x5B (kept likewise)
extern uint8_t CsvAtLineStart;   // opened for writing, no record written yet
extern uint8_t CsvFromArchive;   // CsvFileName is an extracted temporary copy

void ClearCsvOpenFlag();  // at start: no CSV file is open
// What every reset does: an open CSV file is closed as csvclose closes it
// (an extracted temporary copy is deleted) and CsvFileName becomes "".
void ResetCsvState();

// Writes each byte of text XORed with the key to CsvFile.
void WriteScrambled(const char* text, size_t len);

void Cmd_csvopen();
void Cmd_csvclose();
void Cmd_csvread();
void Cmd_csveof();
void Cmd_csvwrite();
