#!/usr/bin/python3
"""Turns Natural Earth's 1:110m countries, as Debian's python3-geopandas ships
them (naturalearth_lowres), into places/data/countries.dat, the outlines the
program embeds. Only needed again when the outlines change:

    apt-get install python3-geopandas
    /usr/bin/python3 scripts/countries_data.py places/data/countries.dat

With --places it writes instead a first draft of the table of populated places
the country lookup is tested with (name, latitude, longitude, the country each
outline holds). The committed table is that draft checked by hand: its country
column is the fact, not what the outlines say.

The file, little-endian throughout:
    8 bytes   "QCTRY01\\n"
    u16       number of countries
    per country:
        u8    length of the name, then the name in UTF-8 (the data's `name`)
        u16   number of rings (outer rings and holes alike: a point is inside
              when it is inside an odd number of them)
        per ring:
            u16       number of points (the closing point is not repeated)
            per point: i32 longitude, i32 latitude, in units of 1e-5 degree
"""
import struct
import sys

import geopandas

UNIT = 1e5


def rings_of(geometry):
    polygons = geometry.geoms if geometry.geom_type == "MultiPolygon" else [geometry]
    for polygon in polygons:
        yield polygon.exterior.coords
        for hole in polygon.interiors:
            yield hole.coords


def quantised(coords):
    points = []
    for lon, lat in coords:
        point = (round(lon * UNIT), round(lat * UNIT))
        if not points or points[-1] != point:
            points.append(point)
    if len(points) > 1 and points[0] == points[-1]:
        points.pop()
    return points


def write_outlines(world, path):
    out = bytearray(b"QCTRY01\n")
    out += struct.pack("<H", len(world))
    for name, geometry in sorted(zip(world["name"], world.geometry)):
        encoded = name.encode("utf-8")
        rings = [r for r in (quantised(c) for c in rings_of(geometry)) if len(r) >= 3]
        out += struct.pack("<B", len(encoded)) + encoded
        out += struct.pack("<H", len(rings))
        for ring in rings:
            out += struct.pack("<H", len(ring))
            for lon, lat in ring:
                out += struct.pack("<ii", lon, lat)
    with open(path, "wb") as file:
        file.write(out)


def write_places_draft(world, path):
    cities = geopandas.read_file(geopandas.datasets.get_path("naturalearth_cities"))
    with open(path, "w", encoding="utf-8") as file:
        file.write("# place\tlatitude\tlongitude\tcountry\n")
        for name, point in zip(cities["name"], cities.geometry):
            holders = [n for n, g in zip(world["name"], world.geometry) if g.contains(point)]
            file.write(f"{name}\t{point.y:.5f}\t{point.x:.5f}\t{holders[0] if holders else '-'}\n")


def main():
    world = geopandas.read_file(geopandas.datasets.get_path("naturalearth_lowres"))
    if len(sys.argv) == 3 and sys.argv[1] == "--places":
        write_places_draft(world, sys.argv[2])
    elif len(sys.argv) == 2:
        write_outlines(world, sys.argv[1])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
