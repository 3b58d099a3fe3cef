# Sourced by scripts/run.sh: starts a demo music service on 127.0.0.1:7860 (the player's
# default service address) sharing a generated demo folder, with the demo tracks' lyrics
# uploaded to it, and points the player at a demo home whose lyric folder is empty, so lyric
# download is what shows the lyrics. Needs build/bin/tunola-service and tunola-make-demo.
# Defines demo_service_stop; sets DEMO_HOME.

demo_dir=$PWD/build/demo
demo_service_pid=
demo_service_stop() {
    if [ -n "$demo_service_pid" ]; then
        kill "$demo_service_pid" 2>/dev/null || true
        wait "$demo_service_pid" 2>/dev/null || true
        demo_service_pid=
    fi
}

rm -rf "$demo_dir/home" "$demo_dir/service.db" "$demo_dir/service.db-wal" "$demo_dir/service.db-shm"
mkdir -p "$demo_dir/home/Documents/Tunola/lrc"
[ -d "$demo_dir/music" ] || build/bin/tunola-make-demo "$demo_dir/music" >/dev/null
DEMO_HOME=$demo_dir/home
trap demo_service_stop EXIT

if build/bin/tunola-service --help >/dev/null 2>&1; then
    build/bin/tunola-service --music "$demo_dir/music" --db "$demo_dir/service.db" \
        --listen 127.0.0.1:7860 --port-file "$demo_dir/port" 2>"$demo_dir/service.log" &
    demo_service_pid=$!
    for _ in $(seq 100); do
        [ -s "$demo_dir/port" ] && break
        kill -0 "$demo_service_pid" 2>/dev/null || break
        sleep 0.05
    done
    if [ -s "$demo_dir/port" ] && build/bin/tunola-make-demo --upload 127.0.0.1:7860; then
        echo "Demo music service: http://127.0.0.1:7860/index.asp (log: $demo_dir/service.log)"
    else
        echo "The demo music service did not start (is port 7860 taken?); see $demo_dir/service.log"
        demo_service_stop
    fi
    rm -f "$demo_dir/port"
fi
