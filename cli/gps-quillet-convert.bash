# bash completion for gps-quillet-convert
_gps_quillet_convert() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
        --from|--to)
            # The names as --help lists them, so that every code the program
            # knows is offered.
            local names
            names=$("${COMP_WORDS[0]}" --help 2>/dev/null | tr -s '\n ' '  ' |
                sed -n 's/.*--to NAME write as NAME: \([^;]*\), in any case.*/\1/p' | sed 's/,//g; s/ or / /')
            COMPREPLY=($(compgen -W "${names:-dms dm dd utm mgrs}" -- "$cur"))
            return ;;
        --code-length)
            COMPREPLY=($(compgen -W "$(echo {1..15}) 30" -- "$cur"))
            return ;;
        --near)
            return ;;
        --mgrs-digits)
            COMPREPLY=($(compgen -W '0 1 2 3 4 5' -- "$cur"))
            return ;;
        --delimiter)
            COMPREPLY=($(compgen -W "tab ';' ','" -- "$cur"))
            return ;;
        --comment)
            COMPREPLY=($(compgen -W "'#' '%'" -- "$cur"))
            return ;;
        --grid-figures)
            COMPREPLY=($(compgen -W '0 2 4 6 8 10' -- "$cur"))
            return ;;
        --crs|--from-crs)
            COMPREPLY=($(compgen -W 'EPSG:27700 EPSG:29903 EPSG:2157 EPSG:2056 EPSG:28992 EPSG:25832 EPSG:4267
                EPSG:4230' -- "$cur"))
            return ;;
        --utm-zone)
            COMPREPLY=($(compgen -W "$(echo {1..60})" -- "$cur"))
            return ;;
        --lat|--lon|--position|--easting|--northing|--zone)
            return ;;
        --threads)
            COMPREPLY=($(compgen -W "1 $(nproc 2>/dev/null)" -- "$cur"))
            return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--from --to --direction --no-units --false-northing --utm-zone --mgrs-digits
            --code-length --near --grid-figures --crs --from-crs --crs-info --allow-ballpark --decimal-comma --comment
            --csv --delimiter --lat --lon --position --easting --northing --zone --no-header
            --south --strict --quiet --threads --help --version' -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -o filenames -F _gps_quillet_convert gps-quillet-convert
