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
        else if string match -qri -- '(/|\.(prg|p[0-9][0-9]|d64|d71|d81|t64|lnx|zip|gz)|(^|/)[1-4]!.+)$' $name
            echo $name
        end
    end
end

# The machine names, each described by the machine's own name, completing
# the last item of a comma-separated list, also after --machine=.
function __mog_machines
    set -l done (string match -r -- '^(?:--machine=)?(?:.*,)?' (commandline -ct))
    set -l names c64 c128 vic20 plus4 pet mega65 all
    set -l machines C64 C128 VIC-20 'Plus/4, C16, C116' 'PET, CBM' 'MEGA65, C65' 'every machine'
    for i in (seq (count $names))
        printf '%s%s\t%s\n' "$done" $names[$i] $machines[$i]
    end
end

complete -c mog -f -a '(__mog_names)' -n 'not string match -q -- "--machine=*" (commandline -ct)'
complete -c mog -f -a '(__mog_machines)' -n 'string match -q -- "--machine=*" (commandline -ct)'
complete -c mog -n 'not __mog_after_dashes' -o n -x -d 'Use num (0 to 65535) as the line number'
complete -c mog -n 'not __mog_after_dashes' -o i -d 'Ask for each program of a disk image or tape'
complete -c mog -n 'not __mog_after_dashes' -o v -d 'Show the start lines, change nothing'
complete -c mog -n 'not __mog_after_dashes' -o a -d 'Show PETSCII control codes as full blocks'
complete -c mog -n 'not __mog_after_dashes' -o o -d 'Raw output: PETSCII bytes unconverted'
complete -c mog -n 'not __mog_after_dashes' -o y -d 'Replace an existing destination without asking'
complete -c mog -n 'not __mog_after_dashes' -s q -l quiet -d 'Only warnings, errors, questions, listings and findings'
complete -c mog -n 'not __mog_after_dashes' -l json -d 'JSON Lines: one object per program and per file'
complete -c mog -n 'not __mog_after_dashes' -l unicode -d "Show PETSCII as the C64's own characters in UTF-8"
complete -c mog -n 'not __mog_after_dashes' -l check -d 'Change nothing; status 4 if a line lacks the number or a file fails'
complete -c mog -n 'not __mog_after_dashes' -l allow-no-start-line -d 'With --check, pass files without a start line'
complete -c mog -n 'not __mog_after_dashes' -l batch -d 'Every name is a source; folders are searched'
complete -c mog -n 'not __mog_after_dashes' -l in-place -d 'A batch that replaces each file it changes'
complete -c mog -n 'not __mog_after_dashes' -l machine -x -a '(__mog_machines)' -d 'The machines whose BASIC start lines count'
complete -c mog -n 'not __mog_after_dashes' -l textconv -r -d "List one file for git's diff, status 0 whatever it holds"
complete -c mog -n 'not __mog_after_dashes' -o examples -l examples -d 'Show examples'
complete -c mog -n 'not __mog_after_dashes' -s h -l help -d 'Show the help'
complete -c mog -n 'not __mog_after_dashes' -l version -d 'Show the version'
complete -c mog -n 'not __mog_after_dashes; and string match -q -- "-*" (commandline -ct)' --arguments=-- -d 'End of options: every later argument is a file name'
