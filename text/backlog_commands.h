// backlog_commands.h - the backlog commands: its page limit and the page
// tag mode (define block), logging on and off, flushing, and the queries
// checkpage, getlog, gettaglog and getlogtext.
#pragma once

void Cmd_maxkaisoupage();
void Cmd_pagetag();
void Cmd_lookbackon();
void Cmd_lookbackoff();
void Cmd_lookbackflush();
void Cmd_checkpage();
void Cmd_getlog();
void Cmd_gettaglog();
void Cmd_getlogtext();
