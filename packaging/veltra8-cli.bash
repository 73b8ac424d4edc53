# bash completion for veltra8-cli                          -*- shell-script -*-

_veltra8_cli()
{
    local cur prev words cword split
    # -s: "--format=csv" completes as "--format csv" does.
    _init_completion -s || return

    local commands="ports live download set-clock set-rate convert plot stats report"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        if [[ " $commands " == *" ${words[i]} "* ]]; then
            command=${words[i]}
            break
        fi
    done

    case $prev in
        -p | --port)
            # The ports as the client lists them, one a line, taken as they
            # are: a name is never expanded or split.
            local port
            COMPREPLY=()
            while IFS= read -r port; do
                [[ $port == "$cur"* ]] && COMPREPLY+=("$port")
            done < <("${words[0]}" ports 2>/dev/null)
            return
            ;;
        -f | --format)
            local formats
            case $command in
                live) formats="text csv jsonl influx" ;;
                download) formats="txt csv jsonl influx" ;;
                convert) formats="csv jsonl influx" ;;
                stats) formats="text csv json" ;;
            esac
            COMPREPLY=($(compgen -W "$formats" -- "$cur"))
            return
            ;;
        -o | --output | --raw)
            _filedir
            return
            ;;
        --mode)
            COMPREPLY=($(compgen -W "consecutive cumulative" -- "$cur"))
            return
            ;;
        -n | --count | --timeout | --from | --to | --size | --title | --channels | --limit | --delay | --activation-energy | --on-alarm | --name)
            return
            ;;
    esac
    # A value given with "=" to an option that takes none.
    $split && return

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands --version -h --help" -- "$cur"))
        return
    fi

    local options
    case $command in
        ports) options="-h --help" ;;
        live) options="-p --port -n --count -f --format --name -o --output --timeout --limit --delay --mode --on-alarm -h --help" ;;
        download) options="-p --port --full -f --format --name -o --output --raw --timeout -q --quiet -h --help" ;;
        set-clock) options="-p --port --yes --no-verify --timeout -h --help" ;;
        set-rate) options="-p --port --timeout -h --help" ;;
        convert) options="-f --format --name -o --output -h --help" ;;
        plot) options="-o --output --channels --from --to --size --title -h --help" ;;
        stats) options="--from --to --channels --activation-energy --limit --delay --mode -f --format -o --output -h --help" ;;
        report) options="-o --output --from --to --channels --activation-energy --limit --delay --mode --title -h --help" ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ $command == set-rate ]]; then
        COMPREPLY=($(compgen -W "1 15 30 60" -- "$cur"))
    elif [[ $command == convert || $command == plot || $command == stats || $command == report ]]; then
        _filedir
    fi
} &&
    complete -F _veltra8_cli veltra8-cli

# ex: filetype=sh
