// textline.h - what the interpreter loop needs of the text display: the
// modes that change how a text line is read, the text cursor, the backlog
// page calls and DisplayText itself.
#pragma once

extern int TagModeOn;            // '[' starts a text tag
extern char PreTextGosubLabel[256];  // routine run for each tag (pretextgosub)
extern int TagHandled;           // the current line's tag has been handled
extern int ZenkakkoOn;           // full-width brackets are tags too
extern int LuaTextHooksOn;       // luacall text/text0/tag
extern int TextGosubOn;          // textgosub
extern int PageTagMode;          // pagetag
extern int LinePageOn;           // linepage
extern int LinePage2On;          // linepage2
extern int NewPageBeforeText;    // texec2
extern int EnglishMode;          // english: '>' starts an English line
extern int TextColumns, TextRows;
extern int ClickstrLines;
extern int TextCursorColumn, TextCursorLine;

// Shows one expanded text segment in the text window.  `resume`, for a
// segment read from the script, gives for each byte the script offset behind
// it (where a clickstr wait handed to textgosub reads on); null otherwise.
void DisplayText(const char* text, const int* resume = nullptr);
// Clears the text window's page.
void ClearTextPage();
// Commits the current backlog page; sets the current page's tag.
void CommitBacklogPage();
void SetBacklogPageTag(const char* tag);
