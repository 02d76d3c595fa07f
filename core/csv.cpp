// csv.cpp - csvopen, csvclose, csvread, csveof, csvwrite and the CSV state.
//
// Reading goes byte by byte through stdio, so csveof sees the stream's end
// indicator exactly as a read left it: set once a read met the end of the
// file.  Names and values have no fixed size: a name or text of any length
// the readers give is kept whole.
#include "core/csv.h"

#include <cstring>

#include "archive/extract.h"
#include "core/aliases.h"
#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/return_value.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/string_commands.h"
#include "core/variables.h"
#include "platform/platform.h"

std::string CsvFileName;
FILE* CsvFile = nullptr;
uint8_t CsvReading = 0;
uint8_t CsvScrambled = 0;
uint8_t CsvAtLineStart = 0;
uint8_t CsvFromArchive = 0;

static bool CsvOpen() { return !CsvFileName.empty(); }

static void CloseCsvFile() {
    if (CsvFile) fclose(CsvFile);
    CsvFile = nullptr;
    if (CsvFromArchive) DeleteExtractedFile(CsvFileName);
    CsvFileName.clear();
    CsvFromArchive = 0;
}

void ClearCsvOpenFlag() {
    CsvFile = nullptr;
    CsvFileName.clear();
    CsvFromArchive = 0;
}

void ResetCsvState() { CloseCsvFile(); }

void WriteScrambled(const char* text, size_t len) {
    char block[512];
    while (len > 0) {
        size_t n = len < sizeof block ? len : sizeof block;
        for (size_t i = 0; i < n; i++) block[i] = (char)(text[i] ^ ScrambleKey);
        fwrite(block, 1, n, CsvFile);
        text += n;
        len -= n;
    }
}

static void WriteCsvText(const char* text, size_t len) {
    if (CsvScrambled)
        WriteScrambled(text, len);
    else
        fwrite(text, 1, len, CsvFile);
}

// csvopen name, mode
void Cmd_csvopen() {
    if (CsvOpen()) ScriptError(CapError, MsgCsvTwice);
    StrScratch name, mode;
    ReadStrExpr(name.p, StrValueSize);
    ExpectComma();
    ReadStrExpr(mode.p, StrValueSize);
    // Any other mode keeps the flags of the previous csvopen.
    if (!strcmp(mode.p, "r")) {
        CsvReading = 1, CsvScrambled = 0;
    } else if (!strcmp(mode.p, "rc")) {
        CsvReading = 1, CsvScrambled = 1;
    } else if (!strcmp(mode.p, "w")) {
        CsvReading = 0, CsvScrambled = 0;
    } else if (!strcmp(mode.p, "wc")) {
        CsvReading = 0, CsvScrambled = 1;
    }
    std::string path = name.p;
    CsvFromArchive = 0;
    if (CsvReading) {
        // A file not in the folder is read from its extracted copy.
        if (!PlatExists(path.c_str()) && ExtractToTemp(&path)) CsvFromArchive = 1;
        CsvFile = PlatOpen(path.c_str(), "rb");
    } else {
        CsvFile = PlatOpen(path.c_str(), "wb");
        CsvAtLineStart = 1;
    }
    if (!CsvFile) {
        if (CsvFromArchive) DeleteExtractedFile(path);
        CsvFromArchive = 0;
        ScriptError(CapError, MsgCsvCannotOpen);
    }
    CsvFileName = path;  // not "": an empty name does not open
}

void Cmd_csvclose() {
    if (CsvOpen()) CloseCsvFile();
}

// The next byte of the file, descrambled; EOF at the end.
static inline int CsvGetByte() {
    int c = getc(CsvFile);
    return (c == EOF || !CsvScrambled) ? c : (c ^ ScrambleKey);
}

// A text field: up to ',' or LF or the end; CRs dropped, spaces kept, a lead
// byte takes its trail byte along.  buffer: StrValueSize bytes.
static void ReadTextField(char* buffer) {
    size_t len = 0;
    auto put = [&](int b) {
        if (len == StrValueMax) ScriptError(CapError, MsgStringTooLong);
        buffer[len++] = (char)b;
    };
    for (;;) {
        int c = CsvGetByte();
        if (c == EOF || c == ',' || c == '\n') break;
        if (c == '\r') continue;
        put(c);
        if (IsSjisLead((unsigned char)c)) {
            int trail = CsvGetByte();
            if (trail == EOF) break;
            put(trail);
        }
    }
    buffer[len] = 0;
}

// A numeric field: up to ',' or LF or the end; tabs, CRs and spaces dropped,
// then read as atoi reads.  Nothing of it is kept, so a field of any length
// takes no memory.
static int32_t ReadNumberField() {
    LeadingIntReader number;
    for (;;) {
        int c = CsvGetByte();
        if (c == EOF || c == ',' || c == '\n') break;
        if (c != '\t' && c != '\r' && c != ' ') number.Put((unsigned char)c);
    }
    return number.Value();
}

// csvread target, target, ...
void Cmd_csvread() {
    if (!CsvOpen()) ScriptError(CapError, MsgCsvNotOpen);
    ReturnValue = 0;
    for (;;) {
        char c = SkipBlanks();
        if (c == '$') {
            ReadPosition++;
            int n = ReadStrVarNumber();
            StrScratch field;
            ReadTextField(field.p);
            AssignString(&StrVariables[n], field.p);
        } else if (c == '%') {
            ReadPosition++;
            int n = ReadIntVarNumber();
            IntVariables[n] = ReadNumberField();
        } else {
            ScriptError(CapError, MsgCsvReadBad);
        }
        if (SkipBlanks() != ',') break;
        ReadPosition++;
    }
    ClampIntVars();
}

void Cmd_csveof() {
    int n = ReadIntTarget("csveof", SufFirstInt);
    IntVariables[n] = (CsvFile && feof(CsvFile)) ? 1 : 0;
    ClampIntVars();
}

static void WriteCsvNumber(int32_t v) {
    char digits[16];
    int len = snprintf(digits, sizeof digits, "%d", (int)v);
    WriteCsvText(digits, (size_t)len);
}

static void WriteCsvString() {
    StrScratch text;
    ReadStrExpr(text.p, StrValueSize);
    WriteCsvText(text.p, strlen(text.p));
}

// One value: an integer expression ('%', '+', '-', a digit, or a word that
// is a numeric alias) or a string expression ('"', '$', or a word that is a
// string alias; string aliases are looked at first).
static void WriteCsvValue() {
    char c = SkipBlanks();
    if (c == '%' || c == '+' || c == '-' || (c >= '0' && c <= '9')) {
        WriteCsvNumber(ReadIntExpr());
    } else if (c == '"' || c == '$') {
        WriteCsvString();
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_') {
        int at = ReadPosition;
        char word[WordBufferSize];
        ReadWord(word);
        ReadPosition = at;
        if (FindStrAlias(word) >= 0)
            WriteCsvString();
        else if (FindNumAlias(word) >= 0)
            WriteCsvNumber(ReadIntExpr());
        else
            ScriptError(CapError, MsgCsvWriteBad);
    } else {
        ScriptError(CapError, MsgCsvWriteBad);
    }
}

// csvwrite value, value, ...: one record.
void Cmd_csvwrite() {
    if (!CsvOpen()) ScriptError(CapError, MsgCsvNotOpen);
    if (!CsvAtLineStart) WriteCsvText("\r\n", 2);
    for (;;) {
        WriteCsvValue();
        if (SkipBlanks() != ',') break;
        ReadPosition++;
        WriteCsvText(",", 1);
    }
    CsvAtLineStart = 0;
}
