#include "map/browser/TApplicationWrapper.h"

#include "app/Messages.h"
#include "map/CallbackNumber.h"

namespace {

QString positionText(const char* prefix, double lat, double lng) {
    return QLatin1String(prefix) + callbackNumberText(lat) + QLatin1String(" / Lng:") +
           callbackNumberText(lng);
}

} // namespace

TApplicationWrapper::TApplicationWrapper(QObject* parent)
    : QObject(parent) {}

void TApplicationWrapper::DoError(const QString& ErrorMessage) {
    showPlainMessage(QLatin1String("Error:") + ErrorMessage);
}

void TApplicationWrapper::DoGeoCodeFound(double lat, double lng) {
    emit statusReported(positionText("DoGeoCodeFound Lat:", lat, lng));
}

void TApplicationWrapper::DoClick(double lat, double lng) {
    emit statusReported(positionText("Map Clicked. Lat:", lat, lng));
    emit mapClicked(lat, lng);
}

void TApplicationWrapper::DoMarkerClick(double lat, double lng) {
    emit statusReported(positionText("Marker Clicked. Lat:", lat, lng));
    emit markerClicked(lat, lng);
}
