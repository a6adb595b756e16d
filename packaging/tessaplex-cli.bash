# bash completion for tessaplex-cli; installed as
# share/bash-completion/completions/tessaplex-cli, loaded on first use.
_tessaplex_cli()
{
    local cur prev words cword
    _init_completion -n = || return

    local commands="list info read write diff set clear led backups restore doctor help"
    local global="--device --simulate --simulate= --simulate-state --json --no-backup -q --quiet -h --help -v --version"

    case $prev in
        --device)
            COMPREPLY=($(compgen -f -- "${cur:-/dev/hidraw}"))
            return ;;
        --simulate-state|-o|--output)
            _filedir
            return ;;
        --layer)
            COMPREPLY=($(compgen -W "1 2 3" -- "$cur"))
            return ;;
        --mode)
            COMPREPLY=($(compgen -W "0 1 2 3 4 5" -- "$cur"))
            return ;;
        --colour|--color)
            return ;;
    esac

    # The command is the first word that is neither an option nor its value;
    # arguments counts the words after it that are neither.
    local i command="" arguments=0
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --device|--simulate-state|-o|--output|--layer|--mode|--colour|--color) ((i++)) ;;
            -*) ;;
            *) if [[ -z $command ]]; then command=${words[i]}; else ((arguments++)); fi ;;
        esac
    done

    local own=""
    case $command in
        "") ;;
        read) own="-o --output" ;;
        write) own="--dry-run" ;;
        set) own="--layer" ;;
        clear) own="--layer --all" ;;
        led) own="--layer --mode --colour" ;;
        restore) own="--latest --first" ;;
        help)
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            return ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$global $own" -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi
    case $command in
        "") COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
        write|diff|restore) _filedir json ;;
        set|clear)
            # The key comes first; the action words after it are free text.
            ((arguments == 0)) || return
            local IFS=$'\n'
            local keys
            keys=$(printf '%s\n' K{1..15} "knob "{1..4}" "{left,press,right})
            COMPREPLY=($(compgen -W "$keys" -- "$cur"))
            COMPREPLY=("${COMPREPLY[@]// /\\ }") ;;
    esac
} &&
    complete -F _tessaplex_cli tessaplex-cli
