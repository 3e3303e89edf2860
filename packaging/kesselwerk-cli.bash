# bash completion for kesselwerk-cli: commands, each command's options, and the file
# names that fit where they stand (.prm permanences, .set stake files, .sekt sector files,
# .lua systems).

_kesselwerk_cli_options() {
    case $1 in
        serien) echo "--laengen" ;;
        systemtest) echo "--vorlauf --angriffe --stuecke --staffelung --stueckgroesse \
--startkapital --plus --minus --protokoll --xlsx --zufallsvergleich --seed" ;;
        sektoren) echo "--datei --muster" ;;
        statistik) echo "--sektoren --muster" ;;
        zufall) echo "--anzahl --seed --ausgabe" ;;
        import) echo "--spalte --teilen --ausgabe --ueberschreiben" ;;
        system) echo "--skript --param --stueckgroesse --startkapital --plus --minus \
--protokoll --seed --zufallsvergleich" ;;
        suche) echo "--skript --bereich --param --vorlauf --angriffe --stuecke --staffelung \
--stueckgroesse --startkapital --plus --minus --zufallsvergleich --seed" ;;
        delta) echo "--chance --coups" ;;
    esac
}

_kesselwerk_cli() {
    local cur prev words cword
    _init_completion || return

    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "chancen serien systemtest system suche sektoren statistik zufall delta import --help --version" -- "$cur"))
        return
    fi
    local command=${words[1]}

    case $prev in
        --data-dir)
            _filedir -d
            return
            ;;
        --staffelung)
            _filedir set
            return
            ;;
        --datei | --sektoren)
            _filedir sekt
            return
            ;;
        --ausgabe)
            if [[ $command == import ]]; then
                _filedir -d
            else
                _filedir prm
            fi
            return
            ;;
        --xlsx)
            _filedir xlsx
            return
            ;;
        --skript)
            _filedir lua
            return
            ;;
        --muster)
            COMPREPLY=($(compgen -W "serien 7x6 5x4" -- "$cur"))
            return
            ;;
        --chance)
            COMPREPLY=($(compgen -W "0 1 2 3 4 5 6 7 8 9" -- "$cur"))
            return
            ;;
        --jobs | --laengen | --vorlauf | --angriffe | --stuecke | --stueckgroesse | \
            --startkapital | --plus | --minus | --anzahl | --seed | --coups | --teilen | --spalte | \
            --zufallsvergleich | \
            --param | --bereich)
            # A number, a list of numbers or NAME=WERT: nothing to offer.
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "--json --data-dir --jobs $(_kesselwerk_cli_options "$command")" -- "$cur"))
        return
    fi

    case $command in
        chancen | serien | systemtest | system | suche | sektoren | statistik)
            _filedir prm
            ;;
        import)
            _filedir
            ;;
    esac
} &&
    complete -F _kesselwerk_cli kesselwerk-cli
