// archive_commands.cpp - ova, ov2, ov3, ovadir, addovadir, arc, fileexist.
#include "archive/archive_commands.h"

#include <cstring>

#include "archive/arcfile.h"
#include "archive/extract.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"

static const char ErrorCaption[] = "\x83G\x83\x89\x81[";  // エラー

// Operand text; longer values are cut, which still tells a folder that is
// too long.
enum { OperandSize = 4096 };
static char Operand[OperandSize];

void Cmd_ova() {
    OvaMode = 1;
}

void Cmd_ov2() {
    OvaMode = 1;
    OvaSkipOne = 1;
}

void Cmd_ov3() {
    OvaMode = 1;
    OvaSkipTwo = 1;
}

void Cmd_ovadir() {
    ReadStrExpr(Operand, OperandSize);
    if (strlen(Operand) > OvaDirMax)
        // ディレクトリが長すぎます。
        ScriptError(ErrorCaption, "\x83" "f\x83" "B\x83\x8c\x83N\x83g\x83\x8a\x82\xaa\x92\xb7"
                                  "\x82\xb7\x82\xac\x82\xdc\x82\xb7\x81" "B");
    strcpy(OvaDir, Operand);
}

void Cmd_addovadir() {
    ReadStrExpr(Operand, OperandSize);
    if (strlen(Operand) > OvaDirMax)
        // ディレクトリ名が長すぎます
        ScriptError(ErrorCaption, "\x83" "f\x83" "B\x83\x8c\x83N\x83g\x83\x8a\x96\xbc\x82\xaa"
                                  "\x92\xb7\x82\xb7\x82\xac\x82\xdc\x82\xb7");
    strcpy(AddOvaDir, Operand);
}

void Cmd_arc() {
    ReadStrExpr(Operand, OperandSize);
    if (!AddArcArchive(Operand))
        // SPI設定が多すぎます。
        ScriptError(ErrorCaption, "SPI\x90\xdd\x92\xe8\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc"
                                  "\x82\xb7\x81" "B");
}

void Cmd_fileexist() {
    if (SkipBlanks() != '%')
        // fileexistの第一引数は数字変数です。
        ScriptError(ErrorCaption, "fileexist\x82\xcc\x91\xe6\x88\xea\x88\xf8\x90\x94\x82\xcd"
                                  "\x90\x94\x8e\x9a\x95\xcf\x90\x94\x82\xc5\x82\xb7\x81" "B");
    ReadPosition++;
    int32_t n = ReadNumTerm();
    if (n < 0 || n >= VariableCount)
        // 変数番号が範囲外をさしています。
        ScriptError(ErrorCaption, "\x95\xcf\x90\x94\x94\xd4\x8d\x86\x82\xaa\x94\xcd\x88\xcd\x8a"
                                  "O\x82\xf0\x82\xb3\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81" "B");
    ExpectComma();
    ReadStrExpr(Operand, OperandSize);
    int found = 0;
    Ov2Lookup e2;
    OvaLookup e;
    if (FolderFileExists(Operand))
        found = 1;
    else if (Ov2Mode && FindOv2Entry(Operand, &e2) == 1)
        found = 1;
    else if (OvaMode && FindOvaEntry(Operand, &e) >= 0)
        found = 1;
    IntVariables[n] = found;
}
