#include "ovex.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The bundle lives in the static host library, so it is registered by hand.
    Q_INIT_RESOURCE(tressil_resources);
    int status = 0;
    {
        QApplication application(argc, argv);
        Ovex ovex(&application);
        status = application.exec();
    }
    Q_CLEANUP_RESOURCE(tressil_resources);
    return status;
}
