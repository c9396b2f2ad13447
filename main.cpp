#include "app/Application.h"
#include "map/browser/MapUrlScheme.h"
#include "ui/coorposunit.h"

int main(int argc, char** argv) {
    registerMapUrlScheme();
    Application application(argc, argv);
    Tcoor_pos coor_pos;
    coor_pos.showMaximized();
    return application.exec();
}
