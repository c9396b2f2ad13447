#pragma once

#include "../support/WorkingDirectory.h"

#include <QList>
#include <memory>

class TWebBrowser;
class Tcoor_pos;

// The whole program as a dispatcher starts it: the main window, created in a
// working directory of its own that holds "tavirelmonkas.db", shown, its map
// page loaded on demand.
class ProgramUnderTest {
public:
    ProgramUnderTest();
    ~ProgramUnderTest();

    QString databasePath() const;

    // Creates and shows the main window; start-up runs here.
    void start();
    // The map as start-up loads it, or by the reload button when start-up
    // stopped before; fails the test when the page does not finish.
    void loadMap();
    // Closes the window and with it the database connection.
    void stop();

    Tcoor_pos& window() const { return *window_; }
    TWebBrowser& browser() const;

    // Ticks one member node per radio id in the tree.
    void selectRadios(const QList<int>& ids);
    // Runs a handler through the message loop, as a click does, so that what
    // it throws reaches the default error report; returns when it has run.
    void runHandler(const char* slot);

    int markerCount() const;

private:
    WorkingDirectory directory_;
    std::unique_ptr<Tcoor_pos> window_;
};
