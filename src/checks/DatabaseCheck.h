#pragma once
// The database row of the check dialog: a SQL Server or MSDE service must
// exist and run, or the user installs MSDE or names a database elsewhere.

#include <functional>
#include <string>

// Start codes of StartServiceIfStopped.
enum ServiceStartCode {
    kServiceMissing = 0,       // cannot be opened (no such service, or refused)
    kServiceNotStopped = 1,    // running, paused or pending: left as it was
    kServiceStarted = 2,       // was stopped; the start request was accepted
    kServiceStartFailed = 3,   // was stopped; the start request failed
    kServiceManagerRefused = 4 // the service control manager refused full access
};

// Opens the service with full access and starts it when it is stopped,
// without waiting for it to run. Shows nothing.
int StartServiceIfStopped(const std::string& serviceName);

// True when a database is available. showCross puts the row's cross on screen
// before a message about a missing or failing database. With afterInstall the
// MSDE offer is not made again.
bool CheckDatabase(bool afterInstall, const std::function<void()>& showCross);
