#!/usr/bin/env bash
# gps-quillet-convert from the outside: options, CSV, bad lines, messages and
# exit statuses. Usage: cli_test.sh CONVERTER
set -u
convert=$1 failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
sydney='-33.8688, 151.2093'

# check NAME STATUS INPUT STDOUT STDERR ARGUMENTS...
check() {
    local name=$1 status=$2 input=$3 out=$4 err=$5 got got_status
    shift 5
    got=$(printf '%s' "$input" | "$convert" "$@" 2>"$scratch/err")
    got_status=$?
    if [ "$got_status" != "$status" ] || [ "$got" != "$out" ] || [ "$(<"$scratch/err")" != "$err" ]; then
        printf 'FAIL %s: status %s\n%s\n--- stderr:\n%s\n' "$name" "$got_status" "$got" "$(<"$scratch/err")"
        failures=$((failures + 1))
    fi
}

# Every output mode is held to the window's texts by converter_test; here what
# only the command line has.
check receiver-read 0 '56s 334369 6250948' '-33.8688032°, 151.2093039°' ''
check version 0 '' 'gps-quillet-convert 1.00' '' --version
check any-case 0 "$sydney" $'-33° 52\' 7.68", 151° 12\' 33.48"' '' --to DMS
check bom-and-blanks 0 $'\xEF\xBB\xBF'"$sydney"$'\n \t \n  # note\n$GPGSV,1,1,01,03,03,111,00*49\n'"$sydney" \
    $'-33.8688°, 151.2093°\n \t \n  # note\n\n-33.8688°, 151.2093°' ''
# A label after the position is kept; a bad line keeps only its label.
# Decimal commas, when asked, in lines too.
check comment 1 $'41,9028; 12,4964 % Roma\nabc % x\n % note' $'41.9028°, 12.4964° % Roma\n% x\n % note' \
    'gps-quillet-convert: line 2: not a position: "abc % x"' --comment % --decimal-comma
# A receiver's log: no noise for sentences without a position, a reason for
# each refused one.
gga='$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4'
check nmea 1 "${gga}7"$'\n'"${gga/E,1/E,0}6"$'\n'"${gga}8"$'\n10 20 30' '32 U 687300 5332401' \
    "gps-quillet-convert: line 2: no fix: \"${gga:0:37}0${gga:38:22}…\""$'\n'"gps-quillet-convert: line 3: NMEA checksum does not match: \"${gga:0:60}…\""$'\ngps-quillet-convert: line 4: ambiguous (10, 20.5 or 10.333333, 30): "10 20 30"' \
    --to utm
# MGRS digits as GeoConvert -m writes them (33TTG923420, 56HLH3436850948).
check mgrs 1 $'41.9028, 12.4964\n33TTG9233542015\n56HLH3436850948' $'\n33T TG 923 420\n56H LH 343 509' \
    'gps-quillet-convert: line 1: not a position in mgrs: "41.9028, 12.4964"' --from mgrs --to MGRS --mgrs-digits 3
# Map links and GIS points read as the place they name; a route, a foreign
# SRID and a short link are refused with the reason.
check links 1 $'https://www.google.com/maps/@41.89,12.49,17z/data=!3m1!4b1!4m6!3m5!8m2!3d41.8902!4d12.4922?entry=ttu\nhttps://yandex.ru/maps/?ll=12.4922%2C41.8902&z=17\nSRID=4326;POINT(12.4922 41.8902)\n<wpt lon="12.4922" lat="41.8902"/>\nhttps://www.google.com/maps/dir/A/B\nSRID=25832;POINT(1 2)\nhttps://maps.app.goo.gl/xyz' \
    $'41.8902°, 12.4922°\n41.8902°, 12.4922°\n41.8902°, 12.4922°\n41.8902°, 12.4922°' \
    $'gps-quillet-convert: line 5: more than one place (a route): "https://www.google.com/maps/dir/A/B"\ngps-quillet-convert: line 6: SRID=25832: outside the system\'s area: "SRID=25832;POINT(1 2)"\ngps-quillet-convert: line 7: a short link holds no position: open it in a browser and copy the full address: "https://maps.app.goo.gl/xyz"'
# A link's own "#" begins no label.
check link-comment 0 'https://www.openstreetmap.org/#map=17/41.8902/12.4922 # Colosseo' '41.8902°, 12.4922° # Colosseo' '' \
    --comment '#'
# Links and snippets written, 7 places, and read back as that form only.
check to-osm 0 "$sydney" 'https://www.openstreetmap.org/?mlat=-33.8688&mlon=151.2093#map=17/-33.8688/151.2093' '' --to osm
check osm-to-wkt 1 $'https://www.openstreetmap.org/?mlat=-33.86880004&mlon=151.2093#map=17/-33.8688/151.2093\n'"$sydney" \
    'POINT (151.2093 -33.8688)' 'gps-quillet-convert: line 2: not a position in osm: "-33.8688, 151.2093"' --from osm --to wkt
check to-google 0 "$sydney" 'https://www.google.com/maps/search/?api=1&query=-33.8688%2C151.2093' '' --to google
# GeoJSON stays JSON whatever the label: it goes into the properties; a
# comment line and a bad line become empty lines.
check geojson-label 1 $'-33.8688, 151.2093 % "Opera"\\ \x01\n% note\nabc % x\n0, 0' \
    $'{"type":"Feature","geometry":{"type":"Point","coordinates":[151.2093,-33.8688]},"properties":{"label":"\\"Opera\\"\\\\ \\u0001"}}\n\n\n{"type":"Point","coordinates":[0,0]}' \
    'gps-quillet-convert: line 3: not a position: "abc % x"' --to geojson --comment %
# MGRS of a UTM text from its own metres (GeoConvert -m: 33TWP0000010000,
# 33PWL); an MGRS square's centre through the accurate inverse (GeoConvert:
# 72.37000223 9.13000818).
check mgrs-of-utm 0 '33T 500000 5310000' '33T WP 00000 10000' '' --to mgrs
check mgrs-of-utm-square 0 '33n 500000 1000000' '33P WL' '' --to mgrs --mgrs-digits 0
check csv-mgrs-of-utm 0 $'z,e,n\n33T,500000,5310000' $'z,e,n,mgrs\n33T,500000,5310000,33T WP 00000 10000' '' \
    --csv --zone z --easting e --northing n --to mgrs
check mgrs-centre 0 '33XUA0185039887' '72.3700022°, 9.1300082°' '' --from mgrs
# The codes people share: each read by its shape, refused with its reason,
# written at its length; a short Plus Code only near a reference.
check codes-read 1 $'8FVC9G8F+6X\nJN58td\nSKNA2342\n361HN37\ngeohash:u4pruydqqvj\nbed\n9G8F+6X\nJS62QM' \
    $'47.3655625°, 8.5249375°\n48.1458333°, 11.625°\n45.7083333°, 72.3916667°\n0.0416667°, 0.0416667°\n57.6491106°, 10.4074397°' \
    $'gps-quillet-convert: line 6: not a position: "bed"\ngps-quillet-convert: line 7: short Plus Code: a full code or a reference is needed: "9G8F+6X"\ngps-quillet-convert: line 8: a Maidenhead field runs from A to R: "JS62QM"'
check codes-near 0 $'9G8F+6X' '8FVC9G8F+6X' '' --near 47.4,8.6 --to olc
check codes-from 1 $'bed\n'"$sydney" 'bed' \
    'gps-quillet-convert: line 2: not a position in geohash: "-33.8688, 151.2093"' --from geohash --to geohash --code-length 3
check codes-edge 0 $'40.6, 129.7' '8QGFJP22+' '' --to pluscode --code-length 8
check codes-write 0 $'48.14666, 11.60833' $'JN58td' '' --to LOCATOR
check codes-gars 0 $'48.14666, 11.60833' $'384MN3' '' --to gars --code-length 15
check codes-length 2 '' '' $'gps-quillet-convert: --code-length 9 is no length of pluscode: 2, 4, 6, 8, 10, 11, 12, 13, 14, 15\nTry \'gps-quillet-convert --help\' for more information.' \
    --to pluscode --code-length 9
# Zone 32 as Norway's receivers write it (GeoConvert -z 32 gives 276980 6658157);
# not where the series is a metre off, nor beyond the eastings UTM input takes.
check utm-zone 1 $'60, 5\n64, 15.5\n27.3462, 1.25782' '32 V 276980 6658157' \
    $'gps-quillet-convert: line 2: cannot be converted: "64, 15.5"\ngps-quillet-convert: line 3: cannot be converted: "27.3462, 1.25782"' \
    --to utm --utm-zone 32
check utm-zone-antimeridian 0 '-16.5, -179.9' '60 K 830973 -1826789' '' --to utm --utm-zone 60
check utm-zone-antimeridian-1 0 '-16.5, 179.9' '1 K 169027 -1826789' '' --to utm --utm-zone 1
check utm-zone-receiver 0 '-33.8688, 150.2' '55 H 796025 6247781' '' --to utm --utm-zone 55 --false-northing
# Receivers' own UTM: the band joined to the zone, the false northing in the
# south; read back as any UTM text, and nothing else.
check to-utm-receiver 0 $'-33.8688, 151.2093\n48.8584, 2.2945' $'56H 334369 6250948\n31U 448252 5411955' '' --to utm-receiver
check from-utm-receiver 1 $'56H 334369 6250948\n-33.8688, 151.2093' '-33.8688032°, 151.2093039°' \
    $'gps-quillet-convert: line 2: not a position in utm: "-33.8688, 151.2093"' --from utm-receiver
# Quoted text cannot drive the terminal or pass for a position, and is cut.
check terminal-safe 1 $'\e]0;x\a 1\u2009\x7f'"$(printf 'x%.0s' {1..70})" '' \
    "gps-quillet-convert: line 1: not a position: \"\\x1b]0;x\\x07 1\\u2009\\x7f$(printf 'x%.0s' {1..50})…\"" 
# Usage errors in words; --to lists the table's names, whatever rows it has.
"$convert" --to $'\e[2J' </dev/null 2>"$scratch/err"
case $(<"$scratch/err") in
'gps-quillet-convert: --to takes dms, dm, dd, utm'*'mgrs'*', not "\x1b[2J"'$'\n'"Try 'gps-quillet-convert --help' for more information.") ;;
*) echo "FAIL usage-safe: $(<"$scratch/err")"; failures=$((failures + 1)) ;;
esac
check usage-words 2 '' '' $'gps-quillet-convert: --delimiter takes , ; or tab, not "|"\nTry \'gps-quillet-convert --help\' for more information.' \
    --csv --position p --delimiter '|'
check usage-no-mgrs-zone 2 '' '' $'gps-quillet-convert: --utm-zone needs --to utm\nTry \'gps-quillet-convert --help\' for more information.' \
    --to mgrs --utm-zone 32
check usage-no-mgrs-northing 2 '' '' $'gps-quillet-convert: --false-northing needs --to utm\nTry \'gps-quillet-convert --help\' for more information.' \
    --to mgrs --false-northing
# An output's name as an option: the --to that was meant.
for name in mgrs utm bng olc; do
    check "usage-meant-$name" 2 '' '' "gps-quillet-convert: --$name is not an option; did you mean --to $name?"$'\n'"Try 'gps-quillet-convert --help' for more information." \
        "--$name"
done
# One line of usage per option, constraints in words, nothing of CLI11's own.
"$convert" --help >"$scratch/help"
grep -q '^  --comment CHAR  *the text from CHAR' "$scratch/help" && ! grep -qwE 'Needs|Excludes|TEXT|INT' "$scratch/help" && ! grep -qF '{' "$scratch/help" ||
    { echo "FAIL help: $(<"$scratch/help")"; failures=$((failures + 1)); }
# The longest line read whole, and one byte more.
check long-lines 1 "$(printf '%-262143s\n%-262144s' "$sydney" "$sydney")" '-33.8688°, 151.2093°' \
    "gps-quillet-convert: line 2: longer than 262143 bytes: \"$(printf '%-60s' "$sydney")…\""
yes -- "$sydney" | head -30000 >"$scratch/many.txt"
[ "$("$convert" "$scratch/many.txt" | uniq -c | tr -s ' ')" = ' 30000 -33.8688°, 151.2093°' ] ||
    { echo "FAIL lines across the buffer"; failures=$((failures + 1)); }

# At a terminal (script(1) gives one) each line is answered as it is read,
# whether the terminal is standard input or standard output; Ctrl+D ends.
at_terminal() {  # NAME COMMAND LINE ANSWER [LINE ANSWER]...
    local name=$1 echoed= answer= bad=
    coproc TERMINAL { script -qfec "$2" /dev/null; }
    shift 2
    while [ $# -gt 0 ] && [ -z "$bad" ]; do
        printf '%s\n' "$1" >&"${TERMINAL[1]}"
        IFS= read -r -t 10 echoed <&"${TERMINAL[0]}" && IFS= read -r -t 10 answer <&"${TERMINAL[0]}"
        [ "$answer" = "$2"$'\r' ] || bad="\"$answer\" for \"$1\""
        shift 2
    done
    printf '\004' >&"${TERMINAL[1]}"
    [ -z "$bad" ] || { echo "FAIL $name: $bad"; failures=$((failures + 1)); kill "$TERMINAL_PID"; }
    wait "$TERMINAL_PID"
}
at_terminal terminal-input "'$convert' | cat" '10, 20' '10°, 20°' '30, 40' '30°, 40°'
at_terminal terminal-output "cat | '$convert'" '# note' '# note' '10, 20' '10°, 20°'
at_terminal terminal-csv "'$convert' --csv --position p" p 'p,latitude_dd,longitude_dd' '"10, 20"' '"10, 20",10°,20°'
# Progress: on a terminal's standard error once the run has lasted a second
# (the first input takes that long), erased at the end; never elsewhere.
yes -- "$sydney" | head -100000 >"$scratch/long.txt"
progress() { script -qfec "(sleep 1.1; echo) | '$convert' $1 - '$scratch/long.txt' >/dev/null" /dev/null; }
[[ $(progress '') == $'\r'*' lines, '*' of 1.90 MB ('*' lines/s, '*' s left'$'\e[K\r\e[K' ]] ||
    { echo "FAIL progress: $(progress '' | od -c)"; failures=$((failures + 1)); }
[ -z "$(progress --quiet)" ] || { echo "FAIL progress --quiet"; failures=$((failures + 1)); }
(sleep 1.1; echo) | "$convert" - "$scratch/long.txt" 2>"$scratch/err" >/dev/null
[ ! -s "$scratch/err" ] || { echo "FAIL progress off a terminal: $(<"$scratch/err")"; failures=$((failures + 1)); }

# Blank and comment lines pass through; a bad line leaves an empty line, a
# message naming it, and status 1; line ends are kept.
check bad-line 1 $'# waypoints\n\nabc\r\n'"$sydney"$'\n91, 0' \
    $'# waypoints\n\n\r\n-33.8688°, 151.2093°' \
    $'gps-quillet-convert: line 3: not a position: "abc"\ngps-quillet-convert: line 5: latitude 91 is beyond 90°: "91, 0"'
check crlf-blank 0 $'\r\n'"$sydney" $'\r\n-33.8688°, 151.2093°' ''
# The reason where it is known; cs2cs's lines with their height, exponents,
# and a map's pair under decimal commas.
check reasons 1 $'61 500000 0\n56 100000 0\n10 59 61, 0\n-180.5, 0' '' \
    $'gps-quillet-convert: line 1: UTM zone 61 is outside 1–60: "61 500000 0"\ngps-quillet-convert: line 2: easting 100000 is outside 160000–834000: "56 100000 0"\ngps-quillet-convert: line 3: 61 seconds are more than 60: "10 59 61, 0"\ngps-quillet-convert: line 4: latitude -180.5 is beyond -90°: "-180.5, 0"'
check new-forms 1 $'113dW\t27d7\'20.892"N 0.000\n-8e-05, 14.343156\n48.1372,11.5755\n8E-05 14.3' \
    $'27.12247°, -113°\n-0.00008°, 14.343156°\n48.1372°, 11.5755°' \
    'gps-quillet-convert: line 4: ambiguous (0.00008, 14.3 or -5.238333, 8): "8E-05 14.3"' --decimal-comma
check pandas-csv 0 $'lat,lon\n-8e-05,1.5E+01' $'lat,lon,latitude_dd,longitude_dd\n-8e-05,1.5E+01,-0.00008°,15°' '' \
    --csv --lat lat --lon lon
check from 1 $'56 H 334369 -3749052\n'"$sydney"$'\n56HLH3436850948' $'-33.8688032°, 151.2093039°' \
    $'gps-quillet-convert: line 2: not a position in utm: "-33.8688, 151.2093"\ngps-quillet-convert: line 3: not a position in utm: "56HLH3436850948"' \
    --from utm
check strict 1 $'x\ny' '' 'gps-quillet-convert: line 1: not a position: "x"' --strict
# Far outside its zone: the window refuses to show it, and so does the converter.
check unconvertible 1 $'1 N 834000 9999999\n0, 0' $'\n0° 0\' 0", 0° 0\' 0"' \
    'gps-quillet-convert: line 1: cannot be converted: "1 N 834000 9999999"' --to dms

# The national grids: written only within their areas, read at the centre of
# the square, refused with the reason.
check bng 1 $'51.5, -0.1275\n48.8566, 2.3522' 'TQ 30070 79557' \
    'gps-quillet-convert: line 2: outside the area of the British National Grid: "48.8566, 2.3522"' --to bng --quiet
check irish 0 $'53.3498, -6.2603' 'O 159 346' '' --to irish --grid-figures 6
check itm 0 $'53.3498, -6.2603' '715827 734698' '' --to itm
check bng-read 1 $'TQ 30080 80987\nTZ 1234 5678\nNN16\n530080, 180987\n56HLH3436850948' \
    $'51.5128466°, -0.1268308°\n\n56.7398348°, -5.026387°\n51.5128423°, -0.1268382°' \
    $'gps-quillet-convert: line 2: no square TZ in the British National Grid: "TZ 1234 5678"\ngps-quillet-convert: line 5: not a position in bng: "56HLH3436850948"' \
    --from osgb --quiet
# Any system PROJ knows, as cs2cs writes it to the millimetre (a projected
# one) or to the last digit written (latitude and longitude on NAD27).
for case in 'EPSG:2056|46.95 7.44|47.37 8.54' 'EPSG:28992|52.37 4.89|51.92 4.48' \
    'EPSG:25832|50.11 8.68|53.55 9.99' 'epsg:4267|40 -100|34.05 -118.25'; do
    IFS='|' read -r crs one two <<<"$case"
    points=$(printf '%s\n%s' "$one" "$two")
    format=%.3f line='$1 " " $2'
    [ "$crs" = epsg:4267 ] && format=%.7f line='$1 "°, " $2 "°"'  # no trailing zeros in these
    expected=$(cs2cs -f "$format" EPSG:4326 "$crs" <<<"$points" | awk "{ print $line }")
    check "crs $crs" 0 "$points" "$expected" '' --crs "$crs"
done
# Two systems on one datum: the one transformation PROJ chooses between
# them, to the millimetre of cs2cs SOURCE TARGET (through WGS 84 it is 5 mm off).
for case in 'EPSG:4242|EPSG:24200|18 -77|18.2 -76.8' 'EPSG:4298|EPSG:29873|4.5 114.5|5 115' \
    'EPSG:27700|EPSG:4277|438700 114800|651409.903 313177.270' 'EPSG:29903|EPSG:4300|315904 234671|133825 374388'; do
    IFS='|' read -r source crs one two <<<"$case"
    points=$(printf '%s\n%s' "$one" "$two")
    format=%.3f line='$1 " " $2'
    [ "$crs" = EPSG:4277 ] || [ "$crs" = EPSG:4300 ] && format=%.7f line='$1 "°, " $2 "°"'
    expected=$(cs2cs -f "$format" "$source" "$crs" <<<"$points" | awk "{ print $line }")
    check "same datum $source $crs" 0 "${points// /, }" "$expected" '' --from-crs "$source" --crs "$crs"
done
# A change of notation within one system needs no datum shift, at the grid's
# edges too; a reference keeps every figure of its own metres.
check notation-only 1 $'0 0\n699999 1299999\n0 1299999\n699999 0\n700000 0\n438699.9999995 114800\n438699.99999 114800' \
    $'SV 00000 00000\nJM 99999 99999\nHL 00000 99999\nTW 99999 00000\n\nSU 38700 14800\nSU 38699 14800' \
    'gps-quillet-convert: line 5: outside the area of the British National Grid: "700000 0"' --from-crs EPSG:27700 --to bng
check notation-crs 0 $'0 0' '0.000 0.000' '' --from-crs EPSG:27700 --crs epsg:27700
check notation-irish 0 $'0 0\n499999 499999\nB1267' $'V 00000 00000\nE 99999 99999\nB 12500 67500' '' --from irish --to irish
check notation-bng 0 $'TA15\nSV 00000 00000\n438700,114800' $'TA 15000 55000\nSV 00000 00000\nSU 38700 14800' '' --from bng --to bng
# A lettered square at sea is read, its datum shift stretched: said once.
check irish-at-sea 0 $'B1267\nB 12 67' $'55.4462621°, -9.3834567°\n55.4462621°, -9.3834567°' \
    'gps-quillet-convert: Irish grid: beyond the land its datum shift was made for, positions are extrapolated and may be several metres off' \
    --from irish
# Without OSTN15 the British datum shift is good to metres: said once in a
# run, where it is used, never with --quiet; nothing where PROJ has the file.
note=''
[ -e /usr/share/proj/uk_os_OSTN15_NTv2_OSGBtoETRS.tif ] ||
    note='gps-quillet-convert: British grid: without OSTN15 positions are good to about 2 m (5 m on the coasts); install the grid file to get centimetres'
check note-once 0 $'51.5, -0.1275\n51.5, -0.1275' $'TQ 30070 79557\nTQ 30070 79557' "$note" --to bng
check note-reading 0 $'TQ 30080 80987\n55, -3' $'51.5128466°, -0.1268308°\n55°, -3°' "$note"
check note-crs 0 $'51.5, -0.1275' '530070.618 179557.722' "$note" --crs EPSG:27700
check note-quiet 0 $'51.5, -0.1275' 'TQ 30070 79557' '' --to bng --quiet
check note-none 0 $'53.3498, -6.2603\nO 15904 34671' $'O 159 346\nO 159 346' '' --to irish --grid-figures 6
check from-crs 0 $'2600000 1200000\n2600000, 1200000 ' $'46° 57\' 3.898", 7° 26\' 19.077"\n46° 57\' 3.898", 7° 26\' 19.077"' '' \
    --from-crs EPSG:2056 --to dms
check crs-outside 1 '-33.8688, 151.2093' '' \
    'gps-quillet-convert: line 1: outside the area of CH1903+ / LV95: "-33.8688, 151.2093"' --crs EPSG:2056
# Venezuela lies in NAD27's area but in that of none of its datum shifts,
# which PROJ would otherwise stretch to it.
check no-shift-here 1 '10, -70' '' \
    'gps-quillet-convert: line 1: no datum shift known here between WGS 84 and NAD27: "10, -70"' --crs EPSG:4267
check ballpark 0 '10, 10' '10°, 10°' '' --crs '+proj=longlat +ellps=bessel +type=crs' --allow-ballpark
check ballpark-refused 2 '' '' $'gps-quillet-convert: no datum shift known between WGS 84 and unknown; --allow-ballpark converts without one, off by tens to hundreds of metres\nTry \'gps-quillet-convert --help\' for more information.' \
    --crs '+proj=longlat +ellps=bessel +type=crs'
info=$("$convert" --crs EPSG:27700 --crs-info)
[[ "$info" == *"OSGB36 to WGS 84 (6)"*", 2 m"* ]] || { echo "FAIL crs-info: $info"; failures=$((failures + 1)); }
[[ "$info" == *"missing grid file"*"OSTN15"* ]] || [ -e /usr/share/proj/uk_os_OSTN15_NTv2_OSGBtoETRS.tif ] ||
    { echo "FAIL crs-info names no OSTN15: $info"; failures=$((failures + 1)); }
# PROJ's own words reach the terminal escaped, and never standard output.
check crs-unknown 2 '' '' $'gps-quillet-convert: unknown coordinate system "EPSG:9\\x1b[2J": proj_create: crs not found\nTry \'gps-quillet-convert --help\' for more information.' \
    --crs $'EPSG:9\e[2J'

# Usage errors, unreadable files and write errors: status 2, the other files
# still convert; --strict stops every file.
printf '%s\n' "$sydney" >"$scratch/one.txt"
check missing-file 2 '' '-33.8688°, 151.2093°' \
    "gps-quillet-convert: $scratch: Is a directory"$'\ngps-quillet-convert: nothing.txt: No such file or directory' \
    "$scratch" nothing.txt "$scratch/one.txt"
# A position given as a file name: how to give it instead.
eiffel='48.8583701, 2.2944813'
check position-as-file 2 '' '' "gps-quillet-convert: no file named \"$eiffel\"; to convert a position, give it on standard input: echo '$eiffel' | gps-quillet-convert" \
    "$eiffel"
check directory 2 '' '-33.8688°, 151.2093°' "gps-quillet-convert: $scratch: Is a directory" "$scratch" "$scratch/one.txt"
# A binary file is refused once, by its first 4 KiB; a NUL later is text's.
printf 'abc\n\0def\n10 20\n' >"$scratch/binary.bin"
check binary 1 '' '-33.8688°, 151.2093°' "gps-quillet-convert: $scratch/binary.bin: binary file, not converted" \
    "$scratch/binary.bin" "$scratch/one.txt"
printf '%4095s\n\0\n' '' >"$scratch/late-nul.txt"
check binary-late 1 '' "$(printf '%4095s' '')" "gps-quillet-convert: $scratch/late-nul.txt: line 2: not a position: \"\\x00\"" \
    "$scratch/late-nul.txt"
printf 'abc\n' >"$scratch/bad.txt"
check file-name 1 '' '' "gps-quillet-convert: $scratch/bad.txt: line 1: not a position: \"abc\"" \
    --strict "$scratch/bad.txt" "$scratch/one.txt"
for usage in '--to xyz' '--false-northing' '--lat a --lon b' '--csv' '--csv --lat a' '--utm-zone 32' \
    '--to utm --utm-zone 61' '--mgrs-digits 3' '--delimiter ;' '--comment 5' '--comment $' '--csv --position p --comment #' \
    '--csv --position p --lat a --lon b' '--csv --position p --south' '--csv --easting e --zone z' \
    '--grid-figures 6' '--to bng --grid-figures 5' '--crs EPSG:99999' '--crs EPSG:2056 --to utm' '--crs-info' \
    '--from-crs EPSG:2056 --csv --lat a --lon b' '--from-crs EPSG:2056 --from dms' '--comment //' '--crs +proj=longlat\ +ellps=bessel\ +type=crs' \
    '--csv --lat a --lon b --easting e --northing n --zone z' '--csv --no-header --lat 1 --lon b' '--no-header' \
    '--threads 0' '--threads x'; do
    "$convert" $usage </dev/null >/dev/null 2>&1
    [ $? = 2 ] || { echo "FAIL usage $usage: not status 2"; failures=$((failures + 1)); }
done
for output in '--help' '--version' "$scratch/one.txt"; do
    "$convert" "$output" >/dev/full 2>/dev/null
    [ $? = 2 ] || { echo "FAIL $output to a full disk: not status 2"; failures=$((failures + 1)); }
done

# CSV: a byte-order mark, quoted fields with commas, quotes and a line end,
# a short row and a bad one; rows come back unchanged, quoted only as needed.
check csv 1 $'\xEF\xBB\xBFname,lat,lon\r\n"Sydney, ""NSW""",-33.8688,151.2093\r\n"two\nlines",10,20\r\nshort\r\nbad,abc,1\r\n' \
    $'name,lat,lon,latitude_dms,longitude_dms\r\n"Sydney, ""NSW""",-33.8688,151.2093,"-33° 52\' 7.68""","151° 12\' 33.48"""\r\n"two\nlines",10,20,"10° 0\' 0""","20° 0\' 0"""\r\nshort,,,,\r\nbad,abc,1,,\r' \
    $'gps-quillet-convert: line 5: missing column "lat": "short"\ngps-quillet-convert: line 6: not a position: "abc, 1"' \
    --csv --lat lat --lon lon --to dms
check csv-zone 0 $'z,e,n\n56H,334369,6250948\n56s,334369,6250948\n56,334369,6250948\n33U,500000,5538630\n' \
    $'z,e,n,easting,northing,zone\n56H,334369,6250948,334369,-3749052,56 H\n56s,334369,6250948,334369,-3749052,56 H\n56,334369,6250948,334369,-3749052,56 H\n33U,500000,5538630,500000,5538630,33 U' \
    '' --csv --zone z --easting e --northing n --south --to utm
check csv-decimal-comma-south 0 $'z,e,n\n56,334369,"6250948,5"\n' \
    $'z,e,n,latitude_dd,longitude_dd\n56,334369,"6250948,5",-33.8687987°,151.209304°' '' \
    --csv --zone z --easting e --northing n --south --decimal-comma
check csv-strict 1 $'lat,lon\nx,1\n1,2\n' $'lat,lon,latitude_dd,longitude_dd\nx,1,,' \
    'gps-quillet-convert: line 2: not a position: "x, 1"' --csv --lat lat --lon lon --strict
check csv-binary 1 '' '' "gps-quillet-convert: $scratch/binary.bin: binary file, not converted" \
    --csv --lat lat --lon lon "$scratch/binary.bin"
check csv-position 0 $'p\n'"\"$sydney\"" $'p,mgrs\n"-33.8688, 151.2093",56H LH 34368 50948' '' \
    --csv --position p --to mgrs
check csv-code 0 $'p\n'"\"$sydney\"" $'p,maidenhead\n"-33.8688, 151.2093",QF56od' '' --csv --position p --to locator
# Headers match trimmed and in any case; a missing one names what is there,
# and the next file still converts.
printf 'b,lat\n0,0\n' >"$scratch/zero.csv"
check csv-no-column 2 $'a,b\n1,2\n' $'b,lat,latitude_dd,longitude_dd\n0,0,0°,0°' \
    'gps-quillet-convert: no column "lat" in the header: "a, b"' --csv --lat lat --lon b - "$scratch/zero.csv"
# A ; file keeps its delimiter; blank CRLF lines still count; the finer column
# decides --from.
check csv-semicolon 1 $'x; Lat ;LON\r\n"a;b";33°52\'07.68"S;151,2093\r\n\r\n\r\nc;1;x\r\n' \
    $'x; Lat ;LON;latitude_dd;longitude_dd\r\n"a;b";"33°52\'07.68""S";151,2093;-33.8688°;151.2093°\r\nc;1;x;;\r' \
    'gps-quillet-convert: line 5: not a position: "1, x"' --csv --delimiter ';' --lat lat --lon lon --from dms \
    --decimal-comma
# Hints where the reason is known.
check hint-decimal-comma 1 $'48,1372; 11,5755' '' \
    'gps-quillet-convert: line 1: not a position: "48,1372; 11,5755"; did you mean --decimal-comma?'
check csv-hint-decimal-comma 1 $'lat,lon\n"48,1372","11,5755"' $'lat,lon,latitude_dd,longitude_dd\n"48,1372","11,5755",,' \
    'gps-quillet-convert: line 2: not a position: "48,1372, 11,5755"; did you mean --decimal-comma?' \
    --csv --lat lat --lon lon
check csv-hint-delimiter 2 $'lat;lon\n48,1;11,5' '' \
    $'gps-quillet-convert: no column "lat" in the header: "lat;lon"; did you mean --delimiter \';\'?' \
    --csv --lat lat --lon lon
check csv-hint-quoted 2 $'"name,lat,lon"\n"x,1,2"' '' \
    'gps-quillet-convert: no column "lat" in the header: "name,lat,lon"; it is inside the quoted cell "name,lat,lon"' \
    --csv --lat lat --lon lon
# Unquoted decimal commas split each number: refused, never read by the first
# fields; empty trailing fields are dropped, so the new columns line up.
check csv-extra-fields 1 $'lat,lon\n48,13,11,57\n48.1,11.5,,\n' \
    $'lat,lon,latitude_dd,longitude_dd\n48,13,11,57,,\n48.1,11.5,48.1°,11.5°' \
    'gps-quillet-convert: line 2: 4 fields where the header has 2: "48,13,11,57"; decimal commas in a comma-separated file need quotes' \
    --csv --lat lat --lon lon
# CSV read as lines: the header says so, once.
check csv-as-lines 1 $'name,lat,lon\nEiffel,48.8583701,2.2944813' '' \
    $'gps-quillet-convert: line 1: not a position: "name,lat,lon"; this looks like CSV with a header: add --csv and --lat/--lon or --position\ngps-quillet-convert: line 2: not a position: "Eiffel,48.8583701,2.2944813"'
# Without a header: columns by number, the first row's width stands in for it.
check csv-no-header 1 $'1,x,10,20\n2,y,abc,1\n3,z,48,13,11,57\n' $'1,x,10,20,10°,20°\n2,y,abc,1,,\n3,z,48,13,11,57,,' \
    $'gps-quillet-convert: line 2: not a position: "abc, 1"\ngps-quillet-convert: line 3: 6 fields where the first row has 4: "3,z,48,13,11,57"; decimal commas in a comma-separated file need quotes' \
    --csv --no-header --lat 3 --lon 4
check csv-tab 0 $'a\tLat\tlon\n1\t2\t3' $'a\tLat\tlon\tlatitude_dd\tlongitude_dd\n1\t2\t3\t2°\t3°' '' \
    --csv --delimiter TAB --lat lat --lon lon

# Threads: a large input is cut into blocks at line ends (CSV at row ends,
# never inside a quoted field) and converted on several threads, to the very
# bytes of one thread: output, messages with their line numbers, their
# interleaving with the output, statuses; 3 threads for an odd count.
same_on_threads() {  # NAME STANDARD-INPUT ARGUMENTS... (the input through a pipe)
    local name=$1 input=$2 threads
    shift 2
    cat "$input" | "$convert" --threads 1 "$@" >"$scratch/one.out" 2>"$scratch/one.err"
    echo "status $?" >>"$scratch/one.err"
    cat "$input" | "$convert" --threads 1 "$@" >"$scratch/one.all" 2>&1
    for threads in 2 3; do
        cat "$input" | "$convert" --threads $threads "$@" >"$scratch/many.out" 2>"$scratch/many.err"
        echo "status $?" >>"$scratch/many.err"
        cat "$input" | "$convert" --threads $threads "$@" >"$scratch/many.all" 2>&1
        cmp -s "$scratch/one.out" "$scratch/many.out" && cmp -s "$scratch/one.err" "$scratch/many.err" &&
            cmp -s "$scratch/one.all" "$scratch/many.all" ||
            { echo "FAIL threads $name: $threads threads differ from 1"; failures=$((failures + 1)); }
    done
}
# Good and bad lines, labels, CRLF, blank and comment lines, a line too long
# to read and one a byte short of that, and a last line without a line end.
awk -v sydney="$sydney" 'BEGIN {
    split(sydney " % Opera|48°8\x2752.80\"N 11°34\x2731.20\"E\r|abc % x||  # note|56 H 334369 -3749052|48,1372; 11,5755|9G8F+6X|1, 2\r", kind, "|")
    for (i = 1; i <= 160000; i++) {
        if (i == 70001) printf "%300000s\n", "x"
        if (i == 90001) printf "%262143s\n", sydney
        printf "%s\n", kind[i % 9 + 1]
    }
    printf "%s", sydney }' >"$scratch/mixed.txt"
same_on_threads lines /dev/null "$scratch/mixed.txt"
same_on_threads mgrs-comment "$scratch/mixed.txt" --to mgrs --comment %
same_on_threads geojson "$scratch/mixed.txt" --to geojson --comment %
# --strict stops deep in the file: nothing after the bad line, nor the next file.
awk -v sydney="$sydney" 'BEGIN { for (i = 1; i <= 150000; i++) print (i == 80001 ? "x" : sydney) }' >"$scratch/deep.txt"
same_on_threads strict /dev/null --strict --to utm "$scratch/deep.txt" "$scratch/one.txt"
same_on_threads binary-among-text /dev/null "$scratch/deep.txt" "$scratch/binary.bin" "$scratch/mixed.txt"
# CSV rows with line ends inside quoted fields, as most of a file's lines.
awk 'BEGIN {
    print "name,lat,lon\r"
    for (i = 1; i <= 80000; i++)
        printf "\"a\nb,\"\"c\"\"\n\",%s,%s\r\n", (i % 1000 == 7 && i > 40000 ? "x" : "-33.8688"), (i % 5 ? "151.2093" : "\"1\n5\"") }' >"$scratch/quoted.csv"
same_on_threads csv /dev/null --csv --lat lat --lon lon --to dms "$scratch/quoted.csv"
same_on_threads csv-strict /dev/null --csv --lat lat --lon lon --strict "$scratch/quoted.csv"
# A block of blank lines before the header: no row converts before it is read.
{ yes '' | head -1100000; cat "$scratch/quoted.csv"; } >"$scratch/late-header.csv"
same_on_threads csv-late-header /dev/null --csv --lat lat --lon lon "$scratch/late-header.csv"
tail -n +2 "$scratch/quoted.csv" >"$scratch/headless.csv"
same_on_threads csv-no-header /dev/null --csv --no-header --lat 2 --lon 3 --to mgrs "$scratch/headless.csv"
# PROJ on every thread.
awk 'BEGIN { for (i = 0; i < 100000; i++) printf "%.4f, %.4f\n", 50 + i % 800 / 100, -5 + i % 700 / 100 }' >"$scratch/britain.txt"
same_on_threads crs /dev/null --crs EPSG:27700 "$scratch/britain.txt"
# The note on the datum shift's accuracy comes once, where the first line
# that needs it stands: after the message of a bad line in an earlier block,
# though a later block's thread met it first.
awk 'BEGIN { for (b = 0; b < 2; b++) { if (b) print "x"; for (i = 0; i < 20000; i++) printf "# %060d\n", i } }' >"$scratch/late-note.txt"
cat "$scratch/britain.txt" >>"$scratch/late-note.txt"
same_on_threads crs-note /dev/null --crs EPSG:27700 "$scratch/late-note.txt"
# A full disk: the same message and status.
for threads in 1 2; do "$convert" --threads $threads "$scratch/mixed.txt" >/dev/full 2>"$scratch/full$threads"; echo $? >>"$scratch/full$threads"; done
cmp -s "$scratch/full1" "$scratch/full2" || { echo "FAIL threads to a full disk"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "all passed"
exit $((failures > 0))
