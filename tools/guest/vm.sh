# shellcheck shell=bash
# The VM that boots the guest root where the kernel runs no 32-bit code (sourced, not run).

# How the VM runs here: "kvm" when GUEST_ACCEL=kvm or (unset or auto) when the root's kernel,
# booted with KVM, starts within 15 s (a nested /dev/kvm may open and still run no kernel), else
# "tcg" (software emulation). The answer goes to the output with its reason on a second line.
vm_accel() { # root
  local kernel log qemu found=no accel=${GUEST_ACCEL:-auto}
  case $accel in
    kvm | tcg) printf '%s\nas GUEST_ACCEL asks\n' "$accel"; return ;;
    auto) ;;
    *) echo "GUEST_ACCEL must be auto, kvm or tcg, not '$accel'" >&2; return 2 ;;
  esac
  if [ ! -w /dev/kvm ]; then
    printf 'tcg\nthere is no /dev/kvm\n'
    return
  fi
  kernel=$(ls "$1"/boot/vmlinuz-* | tail -n 1)
  log=$(mktemp)
  { # (bash's notice of a QEMU that aborted goes with the rest)
    timeout 20 qemu-system-x86_64 -machine q35 -accel kvm -cpu host -m 256 -nodefaults \
      -display none -no-reboot -serial "file:$log" -kernel "$kernel" \
      -append 'console=ttyS0 panic=-1 root=/dev/nothing' >/dev/null 2>&1 &
    qemu=$!
    for _ in $(seq 75); do
      grep -q 'Linux version' "$log" && { found=yes; break; }
      kill -0 "$qemu" || break
      sleep 0.2
    done
    kill "$qemu"
    wait "$qemu"
  } 2>/dev/null
  rm -f "$log"
  if [ $found = yes ]; then
    printf 'kvm\nthe kernel starts with KVM\n'
  else
    printf 'tcg\n/dev/kvm is there, but the kernel does not start with it\n'
  fi
}

# Boots the VM on IMAGE with Debian's kernel and initrd of ROOT, the job archive JOB on the
# second disk and RESULTS (written by the guest) on the third, and waits for it to power off, at
# most SECONDS: then QEMU is stopped (by its PID, through timeout). The console goes to LOG and,
# as it comes, to the output. With "snapshot" the image is only read (the guest's writes are
# dropped); with "write" they stay. Exit code: QEMU's, 124 or 137 when the limit stopped it.
# QEMU 7.2's emulation of SMAP crashes 32-bit Wine processes (a kernel oops at Wine's iret), so
# the emulated CPU has none.
boot_vm() { # root image job results seconds log snapshot|write
  local root=$1 image=$2 job=$3 results=$4 seconds=$5 log=$6 keep=$7 accel cpu qemu status=0
  local kernel initrd snapshot=on started
  seconds=$(within_deadline "$seconds")
  [ "$keep" = write ] && snapshot=off
  kernel=$(ls "$root"/boot/vmlinuz-* | tail -n 1)
  initrd=$(ls "$root"/boot/initrd.img-* | tail -n 1)
  accel=$(vm_accel "$root")
  case $accel in
    kvm*) cpu=host ;;
    tcg*) cpu=max,-smap ;;
  esac
  : >"$log"
  echo "== VM: ${GUEST_CPUS:-2} CPUs, ${GUEST_MEMORY:-2048} MB, ${accel%%$'\n'*}" \
    "(${accel#*$'\n'}), at most $seconds s"
  accel=${accel%%$'\n'*}
  timeout --kill-after=10 "$seconds" qemu-system-x86_64 -machine q35 -accel "$accel" \
    -cpu "$cpu" -smp "${GUEST_CPUS:-2}" -m "${GUEST_MEMORY:-2048}" -nodefaults -display none \
    -no-reboot -serial stdio -kernel "$kernel" -initrd "$initrd" \
    -append "root=/dev/vda rw rootfstype=ext4 console=ttyS0 init=/usr/local/sbin/brindle-guest-init panic=-1 quiet loglevel=3 mitigations=off" \
    -drive "file=$image,format=raw,if=virtio,snapshot=$snapshot" \
    -drive "file=$job,format=raw,if=virtio,readonly=on" \
    -drive "file=$results,format=raw,if=virtio" </dev/null >"$log" 2>&1 &
  qemu=$!
  started=$SECONDS
  tail -n +1 -f --pid="$qemu" "$log" | sed -u 's/\r$//'
  wait "$qemu" || status=$?
  case $status in
    0) echo "== VM: powered off after $((SECONDS - started)) s" ;;
    124 | 137) echo "== VM: stopped after its limit of $seconds s" >&2 ;;
    *) echo "== VM: QEMU ended with exit code $status after $((SECONDS - started)) s" >&2 ;;
  esac
  return $status
}
