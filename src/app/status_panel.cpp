#include "app/status_panel.h"

#include <sstream>

#include "model/data_folder.h"

// The labels carry their own trailing blanks so that the values line up roughly in the
// panel's proportional font.
std::wstring buildStatusText(bool running, std::size_t targetsInUse,
                             const std::wstring& dataFolder) {
    std::wostringstream text;
    text << L"Server Status:                   " << (running ? L"RUNNING" : L"STOPPED") << L"\r\n"
         << L"Targets:                           " << targetsInUse << L"\r\n\r\n"
         << L"Config Path:                     " << dataFolder << configFileName << L"\r\n"
         << L"Log Path:                         " << dataFolder << logFileName << L"\r\n\r\n"
         << L"Developed by:                    the Tarvex team\r\n"
         << L"Edition:                         Tarvex Desktop " << TARVEX_VERSION_TEXT << L"\r\n";
    return text.str();
}
