# Kavri.pl itself, installed in a data folder as the installation lays it
# out, started the way the panel starts it: "perl <folder>/Kavri.pl".
use strict;
use warnings;
use Test::More;
use FindBin ();
use File::Copy qw(copy);
use File::Path qw(make_path);
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;

sub install {
    my ($f) = @_;
    copy("$TestFolder::BOT_DIR/Kavri.pl", $f->path('Kavri.pl')) or die $!;
    make_path($f->path('lib/Tolvane/Transport'));
    for my $module (qw(Answers Archive Bot Config Deliveries Files Status Transport/OSCAR
        Transport/Scripted))
    {
        copy("$TestFolder::BOT_DIR/lib/Tolvane/$module.pm", $f->path("lib/Tolvane/$module.pm"))
          or die "$module: $!";
    }
}

# Runs Kavri.pl from another current folder with the given environment.
sub kavri {
    my ($f, %env) = @_;
    local $ENV{KAVRI_SCRIPT} = $env{KAVRI_SCRIPT};
    local $ENV{KAVRI_LOG} = $env{KAVRI_LOG};
    local $ENV{PERL5OPT} = $env{PERL5OPT};
    delete local $ENV{$_} for grep { !defined $env{$_} } qw(KAVRI_SCRIPT KAVRI_LOG PERL5OPT);
    # As installed, the bot has only its own folder: not the modules of the
    # source tree that prove may have put on PERL5LIB.
    delete local $ENV{PERL5LIB};
    my $here = File::Spec->tmpdir;
    my $out = `cd "$here" && "$^X" "@{[ $f->path('Kavri.pl') ]}" 2>&1`;
    return ($? >> 8, $out);
}

subtest 'a conversation script named by KAVRI_SCRIPT, with its log' => sub {
    my $f = TestFolder->new;
    install($f);
    $f->settings(screen_name => 'joebot');
    $f->put('control.txt', "Connected!\r\n");
    $f->put('talk.script', "clock 2024-05-01 10:00\nim bob hi\nquit\n");
    my ($code, $out) = kavri($f, KAVRI_SCRIPT => $f->path('talk.script'));
    is $code, 0;
    is $out, '', 'nothing on the console';
    is $f->first_line('results.txt'), 'Signed off as joebot, 1 message received';
    is $f->first_line('control.txt'), 'Not connected';
    is $f->get('talk.script.log'),
      "10:00:00 < bob: hi\r\n10:00:00 > bob: GREETING\r\n10:00:00 > bob: AWAY TEXT\r\n";
    like $f->first_line('mrecived.txt'), qr/\A1 message from 1 buddy since /;
};

subtest 'a conversation script named in Kavri.ini, relative to the data folder' => sub {
    my $f = TestFolder->new;
    install($f);
    $f->settings;
    $f->put('Kavri.ini', "script = Kavri.script\r\n");
    $f->put('Kavri.script', "im amy hello\nquit\n");
    my ($code) = kavri($f, KAVRI_LOG => $f->path('out.log'));
    is $code, 0;
    like $f->get('out.log'), qr/> amy: GREETING/;
};

subtest 'a script that is not one is the status' => sub {
    my $f = TestFolder->new;
    install($f);
    $f->settings;
    $f->put('bad.script', "im bob hi\nfly away\n");
    kavri($f, KAVRI_SCRIPT => $f->path('bad.script'));
    is $f->first_line('results.txt'),
      'Cannot start the network part of the bot: line 2: unknown step "fly"';
    kavri($f, KAVRI_SCRIPT => $f->path('none.script'));
    like $f->first_line('results.txt'), qr/cannot read the conversation script .*none\.script/;
};

subtest 'without Net::OSCAR the status says how to install it' => sub {
    my $f = TestFolder->new;
    install($f);
    $f->settings;
    $f->put('control.txt', "Connected!\r\n");
    my ($code) = kavri($f, PERL5OPT => "-I$FindBin::Bin/no-oscar");
    is $code, 1;
    is $f->first_line('results.txt'),
      'Net::OSCAR is not installed: in a command prompt run "cpanm Net::OSCAR", "cpan Net::OSCAR"'
      . ' or "ppm install Net-OSCAR", then press Start again';
    is $f->first_line('control.txt'), 'Not connected';
};

subtest 'missing modules are said, and an old "Connected!" is gone all the same' => sub {
    my $f = TestFolder->new;
    install($f);
    $f->settings;
    unlink $f->path('lib/Tolvane/Bot.pm');
    $f->put('control.txt', "Connected!\r\n");
    my ($code) = kavri($f);
    is $code, 1;
    like $f->first_line('results.txt'), qr/\AThe bot's modules are missing or damaged: install Tolvane again/;
    is $f->first_line('control.txt'), 'Not connected';
};

subtest 'the panel stops the bot by ending its process: the files are whole then' => sub {
    my $f = TestFolder->new;
    install($f);
    $f->settings(screen_name => 'joebot');
    $f->put('hold.script', "im bob hi\n");    # then stays connected
    local $ENV{KAVRI_SCRIPT} = $f->path('hold.script');
    delete local $ENV{PERL5LIB};
    my $pid = fork // die "fork: $!";
    if (!$pid) { exec $^X, $f->path('Kavri.pl') or exit 99 }
    my $connected;
    for (1 .. 100) {
        $connected = ($f->first_line('control.txt') // '') eq 'Connected!'
          && ($f->first_line('results.txt') // '') =~ /1 message/;
        last if $connected;
        select(undef, undef, undef, 0.05);
    }
    ok $connected, 'connected, and stays so while the script is quiet';
    ok kill(0, $pid), 'still running';
    kill 'KILL', $pid;
    waitpid $pid, 0;
    is $f->first_line('results.txt'), 'Connected as joebot, 1 message received';
    is $f->first_line('control.txt'), 'Connected!';
};

done_testing;
