#pragma once
// Puts a new target table in place and stores it in config.xml: at start-up, on Save and on
// Import. The list is copied into the table under its lock, and config.xml is written from
// the caller's copy only after the lock is released, so a slow or held file never stops the
// worker. Nothing is lost by writing outside the lock: the worker changes only results and
// due times, never what config.xml holds.

#include <functional>
#include <vector>

#include "model/target.h"

// The table becomes `list`, every target without results and due at once; then the installed
// hook is told and config.xml is written (with its retries). False when config.xml could not
// be written: the new table is in use all the same.
bool placeAndStoreTable(const std::vector<Target>& list);

// Called on the placing thread each time a table was put in place (the program asks the main
// window to refresh); an empty function removes it.
void setTablePlacedHook(std::function<void()> hook);
