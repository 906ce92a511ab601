# bash completion for sondrix-cli                          -*- shell-script -*-
#
# Commands and options are read from "sondrix-cli --help" of the program being
# completed, so that the completion follows the program it belongs to; ports
# come from "sondrix-cli ports" when the program has that command.

_sondrix_cli_help_words() {
    # $1: "commands" or "options"
    local help
    help=$("$2" --help 2>/dev/null) || return
    case $1 in
        commands)
            sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z-]*\).*/\1/p' <<<"$help" | sort -u
            ;;
        options)
            # Every word of the section that is an option ("--json", "-q,"), and
            # the output option the commands take.
            {
                sed -n '/^Options:/,/^$/p' <<<"$help" |
                    tr ' ' '\n' | sed -n 's/^\(--\?[a-z][a-z-]*\),\?$/\1/p'
                printf '%s\n' -o --output
            } | sort -u
            ;;
    esac
}

_sondrix_cli_ports() {
    printf '%s\n' COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 auto
    if grep -qx ports <<<"$_sondrix_cli_commands"; then
        "$1" ports 2>/dev/null | awk '$1 ~ /^(COM[0-9]+|\/dev\/)/ { print $1 }'
    fi
}

_sondrix_cli() {
    local cur prev program=${COMP_WORDS[0]}
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    if [[ ${_sondrix_cli_program-} != "$program" ]]; then
        _sondrix_cli_program=$program
        _sondrix_cli_commands=$(_sondrix_cli_help_words commands "$program")
        _sondrix_cli_options=$(_sondrix_cli_help_words options "$program")
    fi

    # The value of an option.
    case $prev in
        -o | --output | --trace)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --port)
            mapfile -t COMPREPLY < <(compgen -W "$(_sondrix_cli_ports "$program")" -- "$cur")
            return
            ;;
        --baud | --sim-baud)
            mapfile -t COMPREPLY < <(compgen -W "9600 14400 19200 38400 57600 115200" -- "$cur")
            return
            ;;
        --option)
            mapfile -t COMPREPLY < <(compgen -W "all unread last oldest-to-last nth" -- "$cur")
            return
            ;;
        --sim-model | --sim-firmware | --sim-users | --master-id | --master-password | --timeout)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$_sondrix_cli_options" -- "$cur")
        return
    fi

    # The command is the first word that is neither an option nor its value.
    local i word command=
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
            -o | --output | --trace | --port | --baud | --sim-* | --option | --master-id | \
                --master-password | --timeout)
                ((i++))
                ;;
            -*) ;;
            *)
                command=$word
                break
                ;;
        esac
    done

    case $command in
        "")
            mapfile -t COMPREPLY < <(compgen -W "$_sondrix_cli_commands" -- "$cur")
            ;;
        time | options)
            [[ $prev == "$command" ]] &&
                mapfile -t COMPREPLY < <(compgen -W "get set" -- "$cur")
            ;;
        backup)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            ;;
        restore | firmware)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            ;;
    esac
}

complete -F _sondrix_cli sondrix-cli
