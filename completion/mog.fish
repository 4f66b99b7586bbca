# fish completion for mog: its options, and file names of the kinds it reads.

# True after "--": every later word is a file name.
function __mog_after_dashes
    contains -- -- (commandline -opc)
end

# Folders and files of the kinds mog reads, from fish's own completion of
# file names (so that quotes, escapes and ~ work as everywhere); names that
# start with "-" only after "--", as they would be taken for options before it.
function __mog_names
    set -l after_dashes (__mog_after_dashes; and echo yes)
    for name in (complete -C "__fish_command_without_completions "(commandline -ct))
        if string match -q -- '-*' $name; and test -z "$after_dashes"
            continue
        else if string match -qri -- '(/|\.(prg|p[0-9][0-9]|d64|d71|d81|t64))$' $name
            echo $name
        end
    end
end

complete -c mog -f -a '(__mog_names)'
complete -c mog -n 'not __mog_after_dashes' -o n -x -d 'Use num (0 to 65535) as the line number'
complete -c mog -n 'not __mog_after_dashes' -o i -d 'Ask for each program of a disk image or tape'
complete -c mog -n 'not __mog_after_dashes' -o v -d 'Show the start lines, change nothing'
complete -c mog -n 'not __mog_after_dashes' -o a -d 'Show PETSCII control codes as full blocks'
complete -c mog -n 'not __mog_after_dashes' -o o -d 'Raw output: PETSCII bytes unconverted'
complete -c mog -n 'not __mog_after_dashes' -o y -d 'Replace an existing destination without asking'
complete -c mog -n 'not __mog_after_dashes' -o examples -d 'Show examples'
complete -c mog -n 'not __mog_after_dashes' -l help -d 'Show the help'
complete -c mog -n 'not __mog_after_dashes' -l version -d 'Show the version'
complete -c mog -n 'not __mog_after_dashes; and string match -q -- "-*" (commandline -ct)' --arguments=-- -d 'End of options: every later argument is a file name'
