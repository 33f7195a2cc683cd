# Virtual desktop, microphone and Wine prefix for running Orvello and its tests.
# Sourced by scripts/test and scripts/run. Every service started here is
# recorded by process id and stopped by stop_test_env.
#
#   start_test_env BUILD_DIR   exports DISPLAY, PULSE_SERVER, ORVELLO_MIC_FIFO, ORVELLO_MIC_MODULE,
#                              WINEPREFIX, HOME (for Wine), WINE64
#   stop_test_env

WINE64=$(command -v wine64 || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINE64 WINESERVER
ORVELLO_TEST_PIDS=()

env_log() { printf '[test-env] %s\n' "$*" >&2; }

free_display_number() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] || { echo "$n"; return; }
  done
  return 1
}

start_xvfb() {
  local n; n=$(free_display_number)
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  ORVELLO_TEST_PIDS+=($!)
  export DISPLAY=":$n"
  local i
  for i in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.05; done
  env_log "Xvfb did not start on $DISPLAY"; return 1
}

# A PulseAudio daemon of our own with a null sink and a pipe source: whatever
# tools/feed-mic writes into ORVELLO_MIC_FIFO is what Windows programs record.
start_pulse() { # runtime_dir
  local dir=$1
  rm -rf "$dir"; mkdir -p "$dir"
  export PULSE_RUNTIME_PATH="$dir" PULSE_STATE_PATH="$dir/state" PULSE_SERVER="unix:$dir/native"
  export ORVELLO_MIC_FIFO="$dir/mic.fifo"
  # Also read by tests that unplug the microphone and plug it in again.
  export ORVELLO_MIC_MODULE="module-pipe-source source_name=orvello_mic file=$ORVELLO_MIC_FIFO format=s16le rate=16000 channels=1 source_properties=device.description=OrvelloMic"
  cat >"$dir/default.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=orvello_speaker
load-module $ORVELLO_MIC_MODULE
set-default-sink orvello_speaker
set-default-source orvello_mic
PA
  pulseaudio --daemonize=no --exit-idle-time=-1 --system=false --disallow-exit \
    --use-pid-file=no -n -F "$dir/default.pa" --log-target=file:"$dir/pulse.log" >/dev/null 2>&1 &
  ORVELLO_TEST_PIDS+=($!)
  local i
  for i in $(seq 100); do pactl info >/dev/null 2>&1 && return; sleep 0.05; done
  env_log "PulseAudio did not start (see $dir/pulse.log)"; return 1
}

# A Wine prefix inside the build tree. HOME points there too, or Wine links
# the prefix's Documents folder to the real home folder.
start_wine() { # prefix_parent
  local parent; parent=$(realpath -m "$1")
  export HOME="$parent/home" WINEPREFIX="$parent/wineprefix"
  export WINEDLLOVERRIDES="mscoree=;mshtml=" WINEDEBUG="${WINEDEBUG:--all}"
  mkdir -p "$HOME"
  if [ ! -f "$WINEPREFIX/.orvello-ready" ]; then
    env_log "creating Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1
    "$WINE64" winecfg -v win10 >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.orvello-ready"
  fi
  # A persistent wineserver spares every test program Wine's start-up.
  "$WINESERVER" -p
  "$WINE64" wineboot >/dev/null 2>&1 || true
}

start_test_env() { # build_dir
  local build; build=$(realpath -m "$1")
  mkdir -p "$build"
  start_xvfb
  start_pulse "$build/pulse"
  start_wine "$build"
}

stop_test_env() {
  if [ -n "${WINEPREFIX:-}" ]; then "$WINESERVER" -k >/dev/null 2>&1 || true; fi
  local pid
  for pid in "${ORVELLO_TEST_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${ORVELLO_TEST_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  ORVELLO_TEST_PIDS=()
}
