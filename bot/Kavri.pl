#!/usr/bin/perl
# Kavri, the answering bot that Tolvane starts with "perl Kavri.pl".
#
# It lives in the data folder and takes everything from there: the files
# the panel's dialogs write, and its modules in lib\Tolvane. It tells the
# panel how it is doing in results.txt (first line: the status) and
# control.txt (first line "Connected!" while signed on).
#
# Without Kavri.ini or the environment saying otherwise it signs on to the
# network through Net::OSCAR. A conversation script instead of the network:
#     set KAVRI_SCRIPT=C:\path\to\conversation.script
# or the line "script = conversation.script" in Kavri.ini (a path relative
# to the data folder); every message in and out is then logged in the
# script's file name + ".log" (or in KAVRI_LOG). See README.md beside this
# file for the script's steps.
use strict;
use warnings;
use FindBin ();
use File::Spec;

my $dir = $FindBin::Bin;

sub write_now {
    my ($file, $text) = @_;
    my $path = File::Spec->catfile($dir, $file);
    if (open my $fh, '>:raw', $path) {
        print {$fh} "$text\r\n";
        close $fh;
    }
}

# Before anything can go wrong: an old "Connected!" must not count.
write_now('control.txt', 'Not connected');

my $loaded = eval {
    unshift @INC, File::Spec->catdir($dir, 'lib');
    require Tolvane::Bot;
    require Tolvane::Transport::Scripted;
    1;
};
unless ($loaded) {
    (my $why = $@) =~ s/\s+/ /g;
    write_now('results.txt', "The bot's modules are missing or damaged: install Tolvane again ($why)");
    exit 1;
}

sub conversation_script {
    my ($config) = @_;
    my $script = $ENV{KAVRI_SCRIPT};
    $script = $config->option('script') unless defined $script && $script ne '';
    return undef unless defined $script && $script ne '';
    return File::Spec->rel2abs($script, $dir);
}

my $bot = Tolvane::Bot->new(
    dir       => $dir,
    transport => sub {
        my ($config) = @_;
        if (defined(my $script = conversation_script($config))) {
            my $log = $ENV{KAVRI_LOG};
            $log = "$script.log" unless defined $log && $log ne '';
            return Tolvane::Transport::Scripted->new(file => $script, log => $log);
        }
        require Tolvane::Transport::OSCAR;
        return Tolvane::Transport::OSCAR->new;
    },
);

my $code = eval { $bot->run };
unless (defined $code) {
    (my $why = $@) =~ s/\s+/ /g;
    write_now('control.txt', 'Not connected');
    my $status = $bot->status;
    if ($status) {
        $status->status("The bot stopped on an error: $why");
    } else {
        write_now('results.txt', "The bot stopped on an error: $why");
    }
    $code = 4;
}
exit $code;
