#!/usr/bin/perl
# The bot's CPU time and resident memory while nothing happens, in two
# states side by side: signed on and idle, and with the server unreachable
# (signing on again and again, waiting in between). Each bot runs as the
# panel runs it, from a data folder of its own, against the stand-in of
# Net::OSCAR (t/fake) playing the server by itself. Ten minutes unless
# --seconds=N says otherwise. Linux only (reads /proc).
#
# Prints one table row per state. Goal: under 1 s of CPU per 10 minutes,
# resident memory at the end within 1 MiB of where it was at the start; a
# missed goal is said on standard error and the exit code is 1.
use strict;
use warnings;
use FindBin ();
use File::Copy qw(copy);
use File::Find ();
use File::Path qw(make_path);
use File::Spec;
use File::Temp qw(tempdir);
use Getopt::Long qw(GetOptions);
use POSIX ();
use Time::HiRes ();

my $seconds = 600;
GetOptions('seconds=i' => \$seconds) or die "usage: $0 [--seconds=N]\n";

my $BOT = File::Spec->rel2abs("$FindBin::Bin/..");
my $TICK = POSIX::sysconf(POSIX::_SC_CLK_TCK());

sub put {
    my ($path, $text) = @_;
    open my $fh, '>:raw', $path or die "$path: $!";
    print {$fh} $text;
    close $fh;
}

sub first_line {
    my ($path) = @_;
    open my $fh, '<:raw', $path or return '';
    my $line = <$fh> // '';
    $line =~ s/\r?\n\z//;
    return $line;
}

# A data folder with the bot installed and set up.
sub install {
    my $dir = File::Spec->catdir(tempdir('tolvane-bench-XXXXXX', TMPDIR => 1, CLEANUP => 1),
        'My Documents', 'Tolvane');
    make_path($dir);
    copy("$BOT/Kavri.pl", "$dir/Kavri.pl") or die "Kavri.pl: $!";
    File::Find::find({ no_chdir => 1, wanted => sub {
        return unless /\.pm\z/;
        (my $to = $_) =~ s/\A\Q$BOT\E/$dir/;
        make_path((File::Spec->splitpath($to))[1]);
        copy($_, $to) or die "$_: $!";
    } }, "$BOT/lib");
    put("$dir/settings.txt", join '', map {"$_\r\n"}
        qw(benchbot secret Kavri Joe 0 0 0 0), 'Joe is away.', 'Hello.');
    put("$dir/Kavri.ini", "server = 127.0.0.1:5190\r\n");
    return $dir;
}

sub start_bot {
    my ($dir, $server) = @_;
    my $pid = fork // die "fork: $!";
    if (!$pid) {
        $ENV{PERL5LIB} = "$BOT/t/fake";
        $ENV{TOLVANE_STANDIN_SERVER} = $server;
        delete @ENV{qw(KAVRI_SCRIPT KAVRI_LOG PERL5OPT)};
        exec $^X, "$dir/Kavri.pl" or die "exec: $!";
    }
    return $pid;
}

# CPU seconds (user and system) and resident KiB of a process.
sub usage {
    my ($pid) = @_;
    open my $stat, '<', "/proc/$pid/stat" or die "process $pid is gone\n";
    my @f = split ' ', (scalar <$stat>) =~ s/\A.*\)//sr;
    open my $status, '<', "/proc/$pid/status" or die "process $pid is gone\n";
    my ($rss) = map { /\AVmRSS:\s+(\d+)/ ? $1 : () } <$status>;
    return (($f[11] + $f[12]) / $TICK, $rss);
}

sub wait_for {
    my ($what, $limit, $test) = @_;
    my $until = Time::HiRes::time() + $limit;
    until ($test->()) {
        die "the bot did not reach the state \"$what\" within $limit s\n" if Time::HiRes::time() > $until;
        Time::HiRes::sleep(0.05);
    }
}

my %state = (
    accepts     => { name => 'signed on and idle', control => 'Connected!' },
    unreachable => { name => 'with the server unreachable', control => 'Not connected' },
);
my %run;
for my $server (sort keys %state) {
    my $dir = install();
    my $pid = start_bot($dir, $server);
    $run{$server} = { dir => $dir, pid => $pid };
}
my $ok = eval {
    for my $server (sort keys %run) {
        my $dir = $run{$server}{dir};
        wait_for($state{$server}{name}, 30, $server eq 'accepts'
            ? sub { first_line("$dir/control.txt") eq 'Connected!' }
            : sub { first_line("$dir/results.txt") =~ /trying again at/ });
        $run{$server}{start} = [ usage($run{$server}{pid}) ];
    }
    sleep $seconds;
    for my $server (sort keys %run) {
        $run{$server}{end} = [ usage($run{$server}{pid}) ];
        $run{$server}{control} = first_line("$run{$server}{dir}/control.txt");
    }
    1;
};
my $error = $@;
kill 'TERM', map { $_->{pid} } values %run;
waitpid $_->{pid}, 0 for values %run;
die $error unless $ok;

my $missed = 0;
for my $server (sort keys %run) {
    my $r = $run{$server};
    my $cpu = $r->{end}[0] - $r->{start}[0];
    my ($from, $to) = ($r->{start}[1], $r->{end}[1]);
    printf "| bot %s for %d s (stand-in server): CPU time; resident memory at start, at end | %.2f s; %d KiB, %d KiB | | |\n",
      $state{$server}{name}, $seconds, $cpu, $from, $to;
    my @why;
    push @why, sprintf('CPU %.2f s is not under %.2f s', $cpu, $seconds / 600) if $cpu >= $seconds / 600;
    push @why, "memory grew by @{[ $to - $from ]} KiB" if $to - $from > 1024;
    push @why, "control.txt says \"$r->{control}\"" if $r->{control} ne $state{$server}{control};
    if (@why) {
        print STDERR "goal missed, bot $state{$server}{name}: ", join('; ', @why), "\n";
        $missed = 1;
    }
}
exit $missed;
