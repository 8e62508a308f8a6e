# The help page: self-contained, its links lead somewhere, and the texts it
# tells the user to look for are the ones the program and the bot show.
use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;
use Tolvane::Bot;

open my $fh, '<:raw', "$TestFolder::BOT_DIR/README.html" or die "README.html: $!";
my $page = do { local $/; <$fh> };
(my $flat = $page) =~ s/\s+/ /g;
$flat =~ s/<[^>]+>//g;
$flat =~ s/&quot;/"/g;
$flat =~ s/&lt;/</g;
$flat =~ s/&gt;/>/g;
$flat =~ s/&amp;/&/g;

subtest 'nothing from outside, every link inside the page' => sub {
    unlike $page, qr/\b(?:src|url)\s*[=(]/i, 'no images, scripts or style sheets from elsewhere';
    my @links = $page =~ /href="([^"]*)"/g;
    ok @links, 'a table of contents';
    for my $link (@links) {
        like $link, qr/\A#/, "$link stays in the page";
        my ($id) = $link =~ /\A#(.*)/;
        like $page, qr/\bid="\Q$id\E"/, "$link has a target";
    }
    like $page, qr/\A<!DOCTYPE html>/;
    unlike $page, qr/[^\x09\x0a\x0d\x20-\x7e]/, 'plain ASCII: right in every code page';
};

subtest 'the texts the user will see stand there exactly' => sub {
    for my $text ('Failed To Start Perl! Please Download And Install.', 'Terminal Error',
        'Tolvane has detected that this is the fist time Tolvane has been run. Tolvane will quickly configure perl libraries.',
        'ppm install Net-OSCAR', 'cpanm Net::OSCAR', 'server = host:port', 'Connecting', 'Connected!', 'Save Message?',
        'Require users to be trusted to obtain contact info', 'Save buddies away messages',
        'Startup when Windows Starts', 'Automatically connect when Tolvane starts')
    {
        ok index($flat, $text) >= 0, $text;
    }
};

subtest 'the bot\'s own status texts match the page' => sub {
    my $f = TestFolder->new;
    $f->settings;
    {
        local @INC = ("$FindBin::Bin/no-oscar", @INC);
        require Tolvane::Transport::OSCAR;
        Tolvane::Bot->new(dir => $f->data, transport => sub { Tolvane::Transport::OSCAR->new })->run;
        delete $INC{'Net/OSCAR.pm'};
    }
    my $missing = $f->first_line('results.txt');
    ok index($flat, $missing) >= 0, $missing;

    # The page gives the fixed head of each status that has a variable part.
    for my $reason (qw(password name network rate)) {
        $f->run("signon $reason x\n");
        (my $head = $f->first_line('results.txt')) =~ s/ownerbot/.../;
        $head =~ s/ \(x\).*//;
        ok index($flat, $head) >= 0, $head;
    }
    ok index($flat, $_) >= 0, $_ for 'No AIM user name in Settings', 'No AIM password in Settings',
      "The bot's modules are missing or damaged: install Tolvane again";
};

done_testing;
