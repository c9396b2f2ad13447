"""Reads the GPX that gpx_sample writes with gpxpy and checks its track."""
import datetime
import subprocess
import sys

import gpxpy

document = subprocess.run([sys.argv[1]], check=True, capture_output=True).stdout
gpx = gpxpy.parse(document.decode("utf-8"))
assert len(gpx.tracks) == 1, gpx.tracks
track = gpx.tracks[0]
assert track.name == 'Radio 12 <Ann & "Lee">', track.name
assert len(track.segments) == 1
utc = datetime.timezone.utc
expected = [
    (-41.0065, -70.0017, 12.0, datetime.datetime(2024, 3, 1, 20, 59, 30, tzinfo=utc)),
    (-41.0063, -70.0017, None, datetime.datetime(2024, 3, 1, 21, 0, 30, tzinfo=utc)),
    (0.5, 179.9999, -3.5, None),
]
got = [(p.latitude, p.longitude, p.elevation, p.time) for p in track.segments[0].points]
assert len(got) == len(expected), got
for (lat, lon, ele, time), want in zip(got, expected):
    assert abs(lat - want[0]) < 1e-9 and abs(lon - want[1]) < 1e-9, (lat, lon, want)
    assert ele == want[2], (ele, want)
    assert (time is None and want[3] is None) or time == want[3], (time, want)
print("PASS", len(got), "points")
