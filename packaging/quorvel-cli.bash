# bash completion for quorvel-cli: commands, options, voice files (*.vpm), text files (*.txt),
# sound files (*.wav) and the speech engine's language codes.

# Completes COMPREPLY with the folders and the files ending in .$1 that begin with $2.
_quorvel_cli_files() {
    compopt -o filenames 2>/dev/null
    local IFS=$'\n'
    COMPREPLY=($(compgen -d -- "$2") $(compgen -f -X "!*.$1" -- "$2"))
}

_quorvel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command="" positional=0 i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        -o | --output | --rate | --volume | --screen-name | --phrase | --language) ((i++)) ;;
        -*) ;;
        *) if [ -z "$command" ]; then command=${COMP_WORDS[i]}; else ((positional++)); fi ;;
        esac
    done
    if [ -z "$command" ]; then
        COMPREPLY=($(compgen -W "info export import set speak languages --version --help" \
            -- "$cur"))
        return
    fi
    case $prev in
    -o | --output)
        if [ "$command" = speak ]; then _quorvel_cli_files wav "$cur"; else _quorvel_cli_files vpm "$cur"; fi
        return
        ;;
    --language)
        COMPREPLY=($(compgen -W "$(quorvel-cli languages 2>/dev/null | cut -f1)" -- "$cur"))
        return
        ;;
    --rate | --volume | --screen-name | --phrase) COMPREPLY=(); return ;;
    esac
    if [[ $cur == -* ]]; then
        local options="--help"
        case $command in
        info) options="--phrases --json --help" ;;
        import) options="-o --output --help" ;;
        set) options="-o --output --rate --volume --screen-name --phrase --help" ;;
        speak) options="-o --output --language --help" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [ "$command" = languages ]; then
        COMPREPLY=()
    elif [ "$positional" -eq 0 ]; then
        _quorvel_cli_files vpm "$cur"
    elif [ "$positional" -eq 1 ] && [[ $command == export || $command == import ]]; then
        _quorvel_cli_files txt "$cur"
    else
        COMPREPLY=()
    fi
}
complete -F _quorvel_cli quorvel-cli
