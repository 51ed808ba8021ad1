# Sourced by the scripts and the Wine runner: how this machine runs 32-bit x86
# (i386) Linux programs, Wine's 32-bit loader among them.
#
#   i386_mode            prints native, emulated, none or unknown:
#                          native    the kernel runs them itself
#                          emulated  qemu-i386-static runs them, through a
#                                    binfmt_misc handler (which takes
#                                    precedence over the kernel's own loader)
#                          none      neither: "Exec format error"
#                          unknown   the probe could not be run at all
#   i386_kernel_runs     status 0 when the kernel itself runs them, with or
#                        without a handler registered in front of it; 1
#                        when it refuses them; 2 when the probe could not
#                        run (the build tree does not allow execution)
#   i386_register        registers qemu-i386-static as the handler (root)
#   i386_unregister      removes the handler i386_register made (root)
#
# Some hosts run only 64-bit user code (dmesg: "IA-32 emulation off"); there
# the emulator is the only way. Elsewhere a handler would slow every 32-bit
# program down, so it is registered only where it is needed or asked for.
# A registration lasts until the machine restarts: the record of what the
# kernel could do when we registered is kept with the boot's id, and is
# believed only during that boot.

I386_BINFMT_DIR=/proc/sys/fs/binfmt_misc
I386_HANDLER=qx-i386
I386_QEMU=/usr/bin/qemu-i386-static
I386_RECORD=/run/qx-i386-kernel

# A handler for i386 ELF programs, ours or another's, that is enabled.
i386_handler_enabled() {
    local f
    [ -d "$I386_BINFMT_DIR" ] || return 1
    for f in "$I386_BINFMT_DIR"/*; do
        case "$(basename "$f")" in register|status) continue ;; esac
        [ -f "$f" ] || continue
        grep -qx enabled "$f" 2>/dev/null || continue
        grep -q '^interpreter .*qemu-i386' "$f" 2>/dev/null && return 0
    done
    return 1
}

# Where the probes are written: the build tree, since /tmp (or TMPDIR) may
# be mounted noexec.
I386_PROBE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build"

# Runs a 96-byte static i386 program that exits with status 42. Status 0:
# it ran; 1: the kernel refused it; 2: no program could be run from the
# probe's folder at all (a noexec mount, no room), which says nothing about
# the kernel.
i386_probe() {
    local dir probe rc
    mkdir -p "$I386_PROBE_DIR" 2>/dev/null || return 2
    dir="$(mktemp -d "$I386_PROBE_DIR/.qx-i386.XXXXXX")" || return 2
    # A shell script first: where it cannot run, neither can the probe.
    printf '#!/bin/sh\nexit 42\n' >"$dir/script"
    chmod +x "$dir/script"
    rc=0
    "$dir/script" 2>/dev/null || rc=$?
    if [ "$rc" -ne 42 ]; then
        rm -rf "$dir"
        return 2
    fi
    probe="$dir/probe"
    # ELF header, one PT_LOAD program header, then the code:
    # mov eax,1; mov ebx,42; int 0x80 (exit 42).
    local hex=7f454c46010101000000000000000000
    hex+=02000300010000005480040834000000
    hex+=00000000000000003400200001000000
    hex+=00000000010000000000000000800408
    hex+=00800408600000006000000005000000
    hex+=00100000b801000000bb2a000000cd80
    printf "$(printf '%s' "$hex" | sed 's/../\\x&/g')" >"$probe"
    chmod +x "$probe"
    rc=0
    "$probe" 2>/dev/null || rc=$?
    rm -rf "$dir"
    [ "$rc" -eq 42 ]
}

i386_kernel_runs() {
    if ! i386_handler_enabled; then
        i386_probe
        return
    fi
    # A handler answers for the kernel: ask what it could do before.
    local boot record
    boot="$(cat /proc/sys/kernel/random/boot_id 2>/dev/null || true)"
    record="$(cat "$I386_RECORD" 2>/dev/null || true)"
    if [ -n "$boot" ] && [ "${record#* }" = "$boot" ]; then
        [ "${record%% *}" = native ]
        return
    fi
    if grep -q 'IA-32 emulation off' <<<"$(dmesg 2>/dev/null)"; then
        return 1
    fi
    # Someone else's handler and no trace: set it aside for the probe, and
    # put it back on every way out (an error, Ctrl+C, a TERM).
    (
        saved=()
        restore() {
            local f
            for f in "${saved[@]}"; do echo 1 >"$f" 2>/dev/null; done
            saved=()
        }
        trap restore EXIT
        trap 'exit 130' INT
        trap 'exit 143' TERM HUP
        for f in "$I386_BINFMT_DIR"/*; do
            case "$(basename "$f")" in register|status) continue ;; esac
            if grep -qx enabled "$f" 2>/dev/null && grep -q '^interpreter .*qemu-i386' "$f" 2>/dev/null; then
                echo 0 >"$f" 2>/dev/null && saved+=("$f")
            fi
        done
        i386_probe
    )
}

i386_mode() {
    local rc=0
    if i386_handler_enabled; then
        echo emulated
        return
    fi
    i386_probe || rc=$?
    case $rc in
        0) echo native ;;
        1) echo none ;;
        *) echo unknown ;;
    esac
}

i386_register() {
    local kernel=none
    i386_kernel_runs && kernel=native
    if [ ! -f "$I386_BINFMT_DIR/register" ]; then
        mkdir -p "$I386_BINFMT_DIR"
        mount -t binfmt_misc binfmt_misc "$I386_BINFMT_DIR" || return 1
    fi
    [ -e "$I386_BINFMT_DIR/$I386_HANDLER" ] && echo -1 >"$I386_BINFMT_DIR/$I386_HANDLER"
    echo "$kernel $(cat /proc/sys/kernel/random/boot_id 2>/dev/null)" >"$I386_RECORD"
    # The i386 ELF executable's magic and mask (class, data, version, type
    # 2 or 3, machine 3); F opens the emulator now, so it serves every
    # mount namespace and chroot.
    printf '%s' ":$I386_HANDLER:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$I386_QEMU:F" \
        >"$I386_BINFMT_DIR/register"
}

i386_unregister() {
    [ -e "$I386_BINFMT_DIR/$I386_HANDLER" ] && echo -1 >"$I386_BINFMT_DIR/$I386_HANDLER"
    rm -f "$I386_RECORD"
}
