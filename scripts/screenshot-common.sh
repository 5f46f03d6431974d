# shellcheck shell=bash disable=SC2154 # command_line, output and repo are the caller's
# Sourced by the screenshot scripts.

# Reads $command_line, $output and $repo. Sets the array command_words, whose
# program is looked up where the script was started first, then in the
# repository; makes $output a full path whose folder exists.
resolve_command_and_output() {
    read -r -a command_words <<<"$command_line"
    local program="${command_words[0]}"
    if [[ "$program" == */* && "$program" != /* ]]; then
        if [ -e "$PWD/$program" ]; then program="$PWD/$program"; else program="$repo/$program"; fi
    fi
    command_words[0]="$program"
    [[ "$output" == /* ]] || output="$PWD/$output"
    mkdir -p "$(dirname "$output")"
}

# stop PID: ends a process the script started, if it still runs, and reaps it.
stop() {
    if [ -n "$1" ] && kill "$1" 2>/dev/null; then wait "$1" 2>/dev/null || true; fi
}
