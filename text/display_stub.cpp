// display_stub.cpp - stand-ins for the text display until it is built (then
// this file goes): the modes keep their start values, a text segment is
// taken and dropped.
#include "text/textline.h"

int TagModeOn = 0;
char PreTextGosubLabel[256] = "";
int TagHandled = 0;
int ZenkakkoOn = 0;
int LuaTextHooksOn = 0;
int TextGosubOn = 0;
int PageTagMode = 0;
int LinePageOn = 0;
int LinePage2On = 0;
int NewPageBeforeText = 0;
int EnglishMode = 0;
int ClickstrLines = 0;

void DisplayText(const char*) {}
void CommitBacklogPage() {}
void SetBacklogPageTag(const char*) {}
