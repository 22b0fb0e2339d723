#pragma once
// Service and process helpers.

#include <windows.h>

#include <string>

// Starts a program through the shell and waits until its process has ended,
// dispatching every message of the calling thread meanwhile so that the
// program's windows keep painting and responding. fileName may hold
// environment-variable references. True when the shell started the program;
// false, without a message, when it could not.
bool RunAndWait(const std::string& fileName, const std::string& parameters, int showCmd);

// The name of the first SQL Server service ("MSSQLSERVER" or "MSSQL$<instance>")
// in the order of the service control manager, or "" when there is none. When
// the manager cannot be read it says so in a message box and returns what it
// found so far.
std::string FindSqlServerService();

// How the launcher opens the local service control manager. Tests point this
// elsewhere to see the launcher refused access, which Wine never refuses.
using OpenScManagerFunction = SC_HANDLE(WINAPI*)(LPCSTR machineName, LPCSTR databaseName, DWORD access);
extern OpenScManagerFunction OpenScManagerCall;
