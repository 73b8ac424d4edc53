# bash completion for veltra8-cli                          -*- shell-script -*-

_veltra8_cli()
{
    local cur prev words cword
    _init_completion || return

    local commands="ports live download set-clock set-rate convert plot"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        if [[ " $commands " == *" ${words[i]} "* ]]; then
            command=${words[i]}
            break
        fi
    done

    case $prev in
        -p | --port)
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "$("${words[0]}" ports 2>/dev/null)" -- "$cur"))
            return
            ;;
        -f | --format)
            local formats
            case $command in
                live) formats="text csv jsonl" ;;
                download) formats="txt csv jsonl" ;;
                convert) formats="csv jsonl" ;;
            esac
            COMPREPLY=($(compgen -W "$formats" -- "$cur"))
            return
            ;;
        -o | --output | --raw)
            _filedir
            return
            ;;
        -n | --count | --timeout | --from | --to | --size | --title | --channels)
            return
            ;;
    esac

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands --version --help" -- "$cur"))
        return
    fi

    local options
    case $command in
        ports) options="--help" ;;
        live) options="-p --port -n --count -f --format -o --output --timeout --help" ;;
        download) options="-p --port --full -f --format -o --output --raw --timeout -q --quiet --help" ;;
        set-clock) options="-p --port --yes --no-verify --timeout --help" ;;
        set-rate) options="-p --port --timeout --help" ;;
        convert) options="-f --format -o --output --help" ;;
        plot) options="-o --output --channels --from --to --size --title --help" ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ $command == set-rate ]]; then
        COMPREPLY=($(compgen -W "1 15 30 60" -- "$cur"))
    elif [[ $command == convert || $command == plot ]]; then
        _filedir
    fi
} &&
    complete -F _veltra8_cli veltra8-cli

# ex: filetype=sh
