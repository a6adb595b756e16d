# bash completion for tessaplex-cli; installed as
# share/bash-completion/completions/tessaplex-cli, loaded on first use.
# Works with or without the bash-completion package.

# Replies for a word that may hold spaces ("knob 1 left", "Mouse LeftKey"):
# after an opening quote as they are, otherwise quoted for the shell.
_tessaplex_cli_reply()
{
    local typed=$2 candidate escaped
    local plain
    plain=$(sed 's/\\\(.\)/\1/g' <<<"$typed")
    local quote=""
    [[ $plain == [\"\']* ]] && quote=${plain:0:1} && plain=${plain:1}
    local -a candidates
    mapfile -t candidates <<<"$3"
    for candidate in "${candidates[@]}"; do
        [[ ${candidate,,} == "${plain,,}"* ]] || continue
        if [[ -n $quote ]]; then
            COMPREPLY+=("$candidate")
        else
            printf -v escaped '%q' "$candidate"
            COMPREPLY+=("$escaped")
        fi
    done
}

_tessaplex_cli_files()
{
    if declare -F _filedir >/dev/null; then
        _filedir "$@"
    else
        local IFS=$'\n'
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

_tessaplex_cli()
{
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion -n = || return
    else
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi
    COMPREPLY=()

    local commands="list info read write diff set clear led backups restore doctor help"
    local global="--device --simulate --simulate= --simulate-state --json --no-backup -q --quiet -h --help -v --version"

    case $prev in
        --device)
            COMPREPLY=($(compgen -f -- "${cur:-/dev/hidraw}"))
            return ;;
        --simulate-state|-o|--output)
            _tessaplex_cli_files
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
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace 2>/dev/null
        return
    fi
    case $command in
        "") COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
        write|diff|restore) _tessaplex_cli_files '@(json)' ;;
        set|clear)
            if ((arguments == 0)); then
                _tessaplex_cli_reply key "$cur" "$(printf '%s\n' K{1..15} "knob "{1..4}" "{left,press,right})"
            elif [[ $command == set ]]; then
                # The words the program's own parser takes, asked once a shell.
                [[ -n ${_tessaplex_cli_words-} ]] ||
                    _tessaplex_cli_words=$("${words[0]}" --action-words 2>/dev/null)
                _tessaplex_cli_reply action "$cur" "$_tessaplex_cli_words"
            fi ;;
    esac
} &&
    complete -F _tessaplex_cli tessaplex-cli
